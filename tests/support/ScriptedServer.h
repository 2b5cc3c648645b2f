#pragma once

#include <QByteArray>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <memory>

namespace vt::testing {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// How a scripted answer goes out: all at once, all at once after 100 ms, never, its body a byte
// every 100 ms, or an endless body.
enum class Pace { Whole, Late, Never, Drip, Endless };

struct Answer {
    Pace pace = Pace::Whole;
    QByteArray head;
    QByteArray body;
};

inline QByteArray head(const QByteArray& status, const QByteArray& headers, qint64 contentLength = -1) {
    const QByteArray length =
        contentLength < 0 ? QByteArray() : "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    return "HTTP/1.1 " + status + "\r\n" + headers + "Connection: close\r\n" + length + "\r\n";
}

inline Answer whole(const QByteArray& status, const QByteArray& headers, const QByteArray& body) {
    return {Pace::Whole, head(status, headers, body.size()), body};
}

inline Answer ok(const QByteArray& contentType, const QByteArray& body) {
    return whole("200 OK", "Content-Type: " + contentType + "\r\n", body);
}

// A small HTTP server on 127.0.0.1 that answers each path with its scripted answer and closes the
// connection after it; a path without one gets a 404 page.
class ScriptedServer : public QObject {
public:
    ScriptedServer() {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool listening() const { return m_server.isListening(); }
    QString url(const QString& path) const {
        return u"http://127.0.0.1:%1%2"_s.arg(m_server.serverPort()).arg(path);
    }
    void answer(const QByteArray& path, const Answer& answer) { m_answers.insert(path, answer); }
    // A request for the path that holds this condition line ("If-None-Match: \"v1\"") is answered
    // 304 Not Modified with these header lines; a 304 once the path has another answer no more.
    void answerUnchanged(const QByteArray& path, const QByteArray& condition,
                         const QByteArray& headers = {}) {
        m_unchanged.insert(path, {condition, headers});
    }
    void answer(const QByteArray& path, const Answer& answer, std::nullptr_t /*changed*/) {
        m_unchanged.remove(path);
        m_answers.insert(path, answer);
    }
    int requestsFor(const QByteArray& path) const { return m_requests.value(path); }
    // The request line and headers of the last request for the path.
    QByteArray lastRequest(const QByteArray& path) const { return m_lastRequests.value(path); }

private:
    void read(QTcpSocket* socket) {
        if (!(m_buffers[socket] += socket->readAll()).contains("\r\n\r\n")) {
            return;
        }
        const QByteArray request = m_buffers.take(socket);
        const QByteArray path = request.split(' ').value(1);
        ++m_requests[path];
        m_lastRequests.insert(path, request);
        if (m_unchanged.contains(path) && request.contains("\r\n" + m_unchanged[path].first + "\r\n")) {
            respond(socket, {Pace::Whole, head("304 Not Modified", m_unchanged[path].second), {}});
            return;
        }
        const Answer answer =
            m_answers.value(path, whole("404 Not Found", "Content-Type: text/html\r\n",
                                        "<html><body><Program_Name>Lost</Program_Name></body></html>"));
        if (answer.pace == Pace::Never) {
            return;
        }
        if (answer.pace == Pace::Late) {
            QTimer::singleShot(100ms, socket, [this, socket, answer] {
                respond(socket, {Pace::Whole, answer.head, answer.body});
            });
            return;
        }
        respond(socket, answer);
    }

    void respond(QTcpSocket* socket, const Answer& answer) {
        socket->write(answer.head);
        if (answer.pace == Pace::Whole) {
            socket->write(answer.body);
            socket->disconnectFromHost();
            return;
        }
        // A drip sends the next byte of the body, or ends; an endless body keeps 256 KiB waiting.
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, answer, sent] {
            if (answer.pace == Pace::Endless) {
                if (socket->state() == QAbstractSocket::ConnectedState &&
                    socket->bytesToWrite() < 256 * 1024) {
                    socket->write(QByteArray(64 * 1024, 'x'));
                }
            } else if (*sent == answer.body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            } else {
                socket->write(answer.body.mid((*sent)++, 1));
            }
        });
        timer->start(answer.pace == Pace::Endless ? 0ms : 100ms);
    }

    QTcpServer m_server;
    QHash<QByteArray, Answer> m_answers;
    QHash<QByteArray, int> m_requests;
    QHash<QByteArray, std::pair<QByteArray, QByteArray>> m_unchanged;
    QHash<QByteArray, QByteArray> m_lastRequests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

} // namespace vt::testing
