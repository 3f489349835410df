#pragma once

// The maker's download server as tests see it: a small HTTP/1.1 server on 127.0.0.1
// that answers GET requests from a table of paths (as they arrive, still
// percent-encoded); unknown paths get 404. Every answer closes its connection.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>

namespace sim {

// No meta-object of its own: the simulator library is built without moc.
class HttpFileServer : public QObject
{
public:
    explicit HttpFileServer(QObject* parent = nullptr);

    // Listens on a free loopback port.
    bool start();
    quint16 port() const { return server_.serverPort(); }
    // "http://127.0.0.1:<port>"
    QString baseUrl() const;

    void setFile(const QByteArray& path, const QByteArray& body, int status = 200);
    void setRedirect(const QByteArray& path, const QByteArray& location, int status = 302);
    void removeFile(const QByteArray& path);
    void clear();

    QList<QByteArray> requestedPaths() const { return requested_; }
    int requestCount(const QByteArray& path) const { return requested_.count(path); }

private:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        QByteArray location;
    };
    void onConnection();

    QTcpServer server_;
    QHash<QByteArray, Answer> answers_;
    QList<QByteArray> requested_;
};

} // namespace sim
