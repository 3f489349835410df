#include "HttpFileServer.h"

#include <QTcpSocket>

namespace sim {

HttpFileServer::HttpFileServer(QObject* parent)
    : QObject(parent)
{
    connect(&server_, &QTcpServer::newConnection, this, &HttpFileServer::onConnection);
}

bool HttpFileServer::start()
{
    return server_.listen(QHostAddress::LocalHost, 0);
}

QString HttpFileServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void HttpFileServer::setFile(const QByteArray& path, const QByteArray& body, int status)
{
    answers_.insert(path, Answer{status, body, {}});
}

void HttpFileServer::setRedirect(const QByteArray& path, const QByteArray& location, int status)
{
    answers_.insert(path, Answer{status, "moved", location});
}

void HttpFileServer::removeFile(const QByteArray& path)
{
    answers_.remove(path);
}

void HttpFileServer::clear()
{
    answers_.clear();
    requested_.clear();
}

void HttpFileServer::onConnection()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            QByteArray in = socket->property("request").toByteArray() + socket->readAll();
            socket->setProperty("request", in);
            const int end = in.indexOf("\r\n\r\n");
            if (end < 0 || socket->property("answered").toBool())
                return;
            socket->setProperty("answered", true);
            const QList<QByteArray> requestLine = in.left(in.indexOf("\r\n")).split(' ');
            const QByteArray path = requestLine.value(1);
            requested_.append(path);
            Answer a;
            const auto it = answers_.constFind(path);
            if (it != answers_.constEnd())
                a = it.value();
            else
                a = Answer{404, "not found", {}};
            QByteArray out = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\n";
            out += "Content-Type: application/octet-stream\r\n";
            out += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
            if (!a.location.isEmpty())
                out += "Location: " + a.location + "\r\n";
            out += "Connection: close\r\n\r\n";
            out += a.body;
            socket->write(out);
            socket->disconnectFromHost();
        });
    }
}

} // namespace sim
