// URL mode end to end: `vellumtide-cli pages --url-list` over 400 PAD file URLs on 16 loopback
// hosts (ports) that each answer after 100 ms, with the loads one at a time (--parallel 1, the
// floor) and with the default loads ahead, in the same run. Prints the speed-up (goal >= 8). Then
// two runs with --since-last, where in the second every URL but one in 40 answers 304 Not
// Modified: prints the second run's time against the first's.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "BenchSupport.h"

using namespace Qt::StringLiterals;

namespace {

using namespace vt::bench;

constexpr int Hosts = 16;
constexpr int Urls = 400;
constexpr int AnswerAfterMs = 100;

// A host that answers every request with a small PAD file and its ETag, a while after it came; a
// request that asks "only if changed" is answered 304, except one in 40, which has a new version.
void serve(QTcpServer& server) {
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                const QByteArray request = socket->peek(socket->bytesAvailable());
                if (!request.contains("\r\n\r\n")) {
                    return;
                }
                socket->readAll();
                const QByteArray name = request.split(' ').value(1);
                const bool conditional = request.contains("\r\nIf-None-Match: ");
                const bool changed = conditional && name.mid(1).split('.').value(0).toInt() % 40 == 0;
                QTimer::singleShot(AnswerAfterMs, socket, [socket, name, conditional, changed] {
                    const QByteArray version = changed ? "2" : "1";
                    const QByteArray body = "<?xml version=\"1.0\"?><XML_DIZ_INFO><Program_Name>Program" +
                                            name.mid(1).replace('.', '_') +
                                            "</Program_Name><Program_Version>" + version +
                                            "</Program_Version></XML_DIZ_INFO>";
                    const QByteArray tag = "ETag: \"" + version + "\"\r\nConnection: close\r\n";
                    socket->write(conditional && !changed
                                      ? "HTTP/1.1 304 Not Modified\r\n" + tag + "\r\n"
                                      : "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n" + tag +
                                            "Content-Length: " + QByteArray::number(body.size()) +
                                            "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            });
        }
    });
    server.listen(QHostAddress::LocalHost, 0);
}

// Seconds for the runner over the list, with this thread's event loop serving the hosts.
double seconds(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto start = std::chrono::steady_clock::now();
    process.start(QStringLiteral(VELLUMTIDE_CLI), arguments);
    while (process.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        process.waitForFinished(1);
    }
    return process.exitCode() == 0 ? secondsSince(start) : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    std::vector<std::unique_ptr<QTcpServer>> hosts;
    QByteArray list;
    for (int i = 0; i < Hosts; ++i) {
        serve(*hosts.emplace_back(std::make_unique<QTcpServer>()));
    }
    for (int i = 0; i < Urls; ++i) {
        list += "http://127.0.0.1:" + QByteArray::number(hosts[std::size_t(i % Hosts)]->serverPort()) + "/" +
                QByteArray::number(i) + ".xml\n";
    }
    QTemporaryDir temp;
    QFile file(temp.filePath(u"list.txt"_s));
    if (!file.open(QIODevice::WriteOnly) || file.write(list) != list.size()) {
        return 1;
    }
    file.close();
    const auto run = [&](const QString& folder, const QStringList& more) {
        QDir(temp.path()).mkdir(folder);
        return seconds(QStringList{u"pages"_s, u"--url-list"_s, file.fileName(), u"--storage"_s,
                                   temp.filePath(folder), u"--quiet"_s} +
                       more);
    };
    const double oneAtATime = run(u"one"_s, {u"--parallel"_s, u"1"_s});
    const double ahead = run(u"ahead"_s, {});
    const double firstRun = run(u"since"_s, {u"--since-last"_s});
    const double secondRun = run(u"since"_s, {u"--since-last"_s});
    if (oneAtATime < 0 || ahead < 0 || firstRun < 0 || secondRun < 0) {
        std::fprintf(stderr, "vellumtide-cli did not make every page\n");
        return 1;
    }
    std::printf("%d URLs on %d hosts answering after %d ms: one at a time %.2f s, loads ahead %.2f s\n", Urls,
                Hosts, AnswerAfterMs, oneAtATime, ahead);
    std::printf("speed-up against one at a time (goal >= 8): %.1f\n", oneAtATime / ahead);
    std::printf("--since-last, 390 of %d answering 304: first run %.2f s, second run %.2f s, ratio %.2f\n",
                Urls, firstRun, secondRun, secondRun / firstRun);
    return 0;
}
