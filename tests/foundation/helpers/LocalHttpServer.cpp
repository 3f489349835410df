#include "helpers/LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 300: return "Multiple Choices";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

LocalHttpServer::LocalHttpServer(QObject* parent)
    : QObject(parent)
{
    connect(&server_, &QTcpServer::newConnection, this, &LocalHttpServer::onNewConnection);
}

LocalHttpServer::~LocalHttpServer()
{
    const auto sockets = connections_.keys();
    for (QTcpSocket* s : sockets)
        finishConnection(s, true);
}

bool LocalHttpServer::start()
{
    return server_.listen(QHostAddress::LocalHost, 0);
}

quint16 LocalHttpServer::port() const
{
    return server_.serverPort();
}

QString LocalHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QUrl LocalHttpServer::url(const QString& path) const
{
    return QUrl(baseUrl() + path);
}

void LocalHttpServer::setRoute(const QByteArray& path, const Route& route)
{
    routes_.insert(path, route);
}

void LocalHttpServer::setFile(const QByteArray& path, const QByteArray& body, int status)
{
    Route r;
    r.status = status;
    r.body = body;
    routes_.insert(path, r);
}

void LocalHttpServer::setRedirect(const QByteArray& path, const QByteArray& location, int status,
                                  const QByteArray& body)
{
    Route r;
    r.status = status;
    r.body = body;
    if (!location.isEmpty())
        r.headers.append({"Location", location});
    routes_.insert(path, r);
}

void LocalHttpServer::removeRoute(const QByteArray& path)
{
    routes_.remove(path);
}

void LocalHttpServer::release()
{
    const auto all = connections_;
    for (auto it = all.begin(); it != all.end(); ++it) {
        Connection* c = it.value();
        if (c->held) {
            c->held = false;
            c->route.holdAfterBytes = -1;
            sendMore(it.key());
        }
    }
}

int LocalHttpServer::heldCount() const
{
    int n = 0;
    for (const Connection* c : connections_)
        n += c->held ? 1 : 0;
    return n;
}

void LocalHttpServer::onNewConnection()
{
    while (QTcpSocket* s = server_.nextPendingConnection()) {
        auto* c = new Connection;
        c->socket = s;
        connections_.insert(s, c);
        connect(s, &QTcpSocket::readyRead, this, [this, s] { onReadyRead(s); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] { finishConnection(s, false); });
    }
}

void LocalHttpServer::onReadyRead(QTcpSocket* socket)
{
    Connection* c = connections_.value(socket);
    if (!c)
        return;
    c->in += socket->readAll();
    if (c->answered)
        return;
    const int end = c->in.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QByteArray head = c->in.left(end);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    c->answered = true;
    lastHead_ = head;
    c->path = requestLine.value(1);
    requested_.append(c->path);
    emit requestReceived(c->path);
    if (requestLine.value(0) != "GET") {
        c->route = Route();
        c->route.status = 405;
        c->route.body = "method not allowed";
    } else if (routes_.contains(c->path)) {
        c->route = routes_.value(c->path);
    } else {
        c->route = Route();
        c->route.status = 404;
        c->route.body = "not found";
    }
    answer(c);
}

void LocalHttpServer::answer(Connection* c)
{
    const Route& r = c->route;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + reasonPhrase(r.status) + "\r\n";
    head += "Content-Type: application/octet-stream\r\n";
    if (!r.omitContentLength)
        head += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
    for (const auto& h : r.headers)
        head += h.first + ": " + h.second + "\r\n";
    head += "Connection: close\r\n\r\n";
    c->socket->write(head);
    sendMore(c->socket);
}

void LocalHttpServer::sendMore(QTcpSocket* socket)
{
    Connection* c = connections_.value(socket);
    if (!c || !c->socket)
        return;
    const Route& r = c->route;
    int limit = r.body.size();
    if (r.holdAfterBytes >= 0)
        limit = qMin(limit, r.holdAfterBytes);
    if (r.dropAfterBytes >= 0)
        limit = qMin(limit, r.dropAfterBytes);
    int n = limit - c->sent;
    if (r.chunkSize > 0)
        n = qMin(n, r.chunkSize);
    if (n > 0) {
        socket->write(r.body.mid(c->sent, n));
        c->sent += n;
    }
    if (c->sent < limit) {
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(r.chunkDelayMs, this, [this, guard] {
            if (guard)
                sendMore(guard.data());
        });
        return;
    }
    if (r.dropAfterBytes >= 0 && c->sent >= r.dropAfterBytes && c->sent < r.body.size()) {
        socket->flush();
        finishConnection(socket, true);
        return;
    }
    if (r.holdAfterBytes >= 0 && c->sent < r.body.size()) {
        socket->flush();
        c->held = true;
        emit answerHeld(c->path);
        return;
    }
    socket->disconnectFromHost();
}

void LocalHttpServer::finishConnection(QTcpSocket* socket, bool abort)
{
    Connection* c = connections_.take(socket);
    if (!c)
        return;
    delete c;
    socket->disconnect(this);
    if (abort)
        socket->abort();
    socket->deleteLater();
}
