#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for tests: answers GET requests from a table
// of routes keyed by the request path as it arrives on the wire (still percent-encoded).
// Every answer closes its connection. Unknown paths get 404.
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Route
    {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers; // extra response headers
        // Sends the body in pieces of this size with a pause between them (0: at once).
        int chunkSize = 0;
        int chunkDelayMs = 0;
        // After this many body bytes the server stops sending until release() (-1: never).
        int holdAfterBytes = -1;
        // After this many body bytes the connection is cut although Content-Length
        // announced the whole body (-1: never).
        int dropAfterBytes = -1;
        // Leaves Content-Length out; the end of the body is then the end of the connection.
        bool omitContentLength = false;
    };

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    // Listens on a free loopback port.
    bool start();
    quint16 port() const;
    // "http://127.0.0.1:<port>" + path; path must start with "/".
    QUrl url(const QString& path) const;
    QString baseUrl() const;

    void setRoute(const QByteArray& path, const Route& route);
    void setFile(const QByteArray& path, const QByteArray& body, int status = 200);
    void setRedirect(const QByteArray& path, const QByteArray& location, int status = 302,
                     const QByteArray& body = QByteArray());
    void removeRoute(const QByteArray& path);

    // Lets every held answer send the rest of its body.
    void release();
    // Number of answers currently held.
    int heldCount() const;

    // Paths of all requests received so far, in order.
    QList<QByteArray> requestedPaths() const { return requested_; }
    int requestCount(const QByteArray& path) const { return requested_.count(path); }
    // Header block of the last request (request line included).
    QByteArray lastRequestHead() const { return lastHead_; }

signals:
    void requestReceived(const QByteArray& path);
    void answerHeld(const QByteArray& path);

private:
    struct Connection
    {
        QPointer<QTcpSocket> socket;
        QByteArray in;
        bool answered = false;
        QByteArray path;
        Route route;
        int sent = 0; // body bytes written so far
        bool held = false;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(Connection* c);
    void sendMore(QTcpSocket* socket);
    void finishConnection(QTcpSocket* socket, bool abort);

    QTcpServer server_;
    QHash<QByteArray, Route> routes_;
    QHash<QTcpSocket*, Connection*> connections_;
    QList<QByteArray> requested_;
    QByteArray lastHead_;
};
