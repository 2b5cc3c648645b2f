#pragma once

#include <QByteArray>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <memory>

// A small HTTP server on 127.0.0.1 for tests, answering each path with a scripted answer.
namespace vt::testing {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// How a scripted answer goes out: all at once, never, its body a byte every 100 ms, or an
// endless body.
enum class Pace { Whole, Never, Drip, Endless };

struct Answer {
    Pace pace = Pace::Whole;
    QByteArray head;
    QByteArray body;
};

inline QByteArray head(const QByteArray& status, const QByteArray& headers, qint64 contentLength = -1) {
    QByteArray bytes = "HTTP/1.1 " + status + "\r\n" + headers + "Connection: close\r\n";
    if (contentLength >= 0) {
        bytes += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    }
    return bytes + "\r\n";
}

inline Answer whole(const QByteArray& status, const QByteArray& headers, const QByteArray& body) {
    return {Pace::Whole, head(status, headers, body.size()), body};
}

inline Answer ok(const QByteArray& contentType, const QByteArray& body) {
    return whole("200 OK", contentType.isEmpty() ? QByteArray() : "Content-Type: " + contentType + "\r\n",
                 body);
}

inline Answer redirect(const QByteArray& location) {
    return whole("302 Found", "Location: " + location + "\r\n", QByteArray());
}

// A small HTTP server on 127.0.0.1 that answers each path with its scripted answer and closes the
// connection after it; a path without one gets a 404 page.
class ScriptedServer : public QObject {
public:
    ScriptedServer() {
        connect(&m_server, &QTcpServer::newConnection, this, &ScriptedServer::accept);
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool listening() const { return m_server.isListening(); }
    QString url(const QString& path) const {
        return u"http://127.0.0.1:%1%2"_s.arg(m_server.serverPort()).arg(path);
    }
    void answer(const QByteArray& path, const Answer& answer) { m_answers.insert(path, answer); }
    int requestsFor(const QByteArray& path) const { return m_requests.value(path); }

private:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void read(QTcpSocket* socket) {
        QByteArray& buffer = m_buffers[socket];
        if (!(buffer += socket->readAll()).contains("\r\n\r\n")) {
            return;
        }
        const QByteArray path = m_buffers.take(socket).split(' ').value(1);
        ++m_requests[path];
        respond(socket,
                m_answers.value(path, whole("404 Not Found", "Content-Type: text/html\r\n",
                                            "<html><body><Program_Name>Lost</Program_Name></body></html>")));
    }

    void respond(QTcpSocket* socket, const Answer& answer) {
        switch (answer.pace) {
        case Pace::Whole:
            socket->write(answer.head + answer.body);
            socket->disconnectFromHost();
            break;
        case Pace::Never:
            break;
        case Pace::Drip:
            socket->write(answer.head);
            drip(socket, answer.body);
            break;
        case Pace::Endless:
            socket->write(answer.head);
            pour(socket);
            break;
        }
    }

    static void drip(QTcpSocket* socket, const QByteArray& body) {
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent] {
            if (*sent == body.size()) {
                timer->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(body.mid((*sent)++, 1));
        });
        timer->start(100ms);
    }

    static void pour(QTcpSocket* socket) {
        auto* timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket] {
            if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 256 * 1024) {
                socket->write(QByteArray(64 * 1024, 'x'));
            }
        });
        timer->start(0ms);
    }

    QTcpServer m_server;
    QHash<QByteArray, Answer> m_answers;
    QHash<QByteArray, int> m_requests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

} // namespace vt::testing
