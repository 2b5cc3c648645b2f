// URL mode end to end: `vellumtide-cli pages --url-list` over 400 PAD file URLs on 16 loopback
// hosts (ports) that each answer after 100 ms, with the loads one at a time (--parallel 1, the
// floor) and with the default loads ahead, in the same run. Prints the speed-up (goal >= 8). Then
// two runs with --since-last, where in the second every URL but one in 40 answers 304 Not
// Modified: prints the second run's time against the first's. Then the wild list: one URL in ten
// on a dead host (it accepts the connection and never answers): 640 URLs with the default 30 s
// wait and with --timeout 2, 6,400 URLs with --timeout 2. Prints each run against one stall wait
// (goal <= 2 for 640) and against the same list without its dead hosts. `bench_urls ahead|since|wild` runs
// one part.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <memory>
#include <random>
#include <utility>
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

// A dead host: it accepts every connection and never answers, as a host behind a firewall that
// drops what it gets does.
void serveNothing(QTcpServer& server) {
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
        }
    });
    server.listen(QHostAddress::LocalHost, 0);
}

// Seconds for the runner over the list, with this thread's event loop serving the hosts; -1 when
// it failed other than by records that could not be loaded.
double seconds(const QStringList& arguments, int allowedExit = 0) {
    QProcess process;
    // The summary of a run with failed records names each of them: only a run that should have
    // made every page shows what it says.
    if (allowedExit == 0) {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    } else {
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    const auto start = std::chrono::steady_clock::now();
    process.start(QStringLiteral(VELLUMTIDE_CLI), arguments);
    while (process.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        process.waitForFinished(1);
    }
    const bool ended = process.exitStatus() == QProcess::NormalExit &&
                       (process.exitCode() == 0 || process.exitCode() == allowedExit);
    return ended ? secondsSince(start) : -1;
}

struct Lists {
    std::vector<std::unique_ptr<QTcpServer>> hosts;
    QTemporaryDir temp;

    QString write(const QString& name, const QByteArray& list) {
        QFile file(temp.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(list) == list.size() ? file.fileName()
                                                                                  : QString();
    }
    QString url(const QTcpServer& host, int i) const {
        return u"http://127.0.0.1:%1/%2.xml"_s.arg(host.serverPort()).arg(i);
    }
    // Seconds for `pages` over the list into a new folder, and the pages it made.
    std::pair<double, int> pages(const QString& list, const QString& folder, const QStringList& more,
                                 int allowedExit = 0) {
        QDir(temp.path()).mkdir(folder);
        const double taken = seconds(QStringList{u"pages"_s, u"--url-list"_s, list, u"--storage"_s,
                                                 temp.filePath(folder), u"--quiet"_s} +
                                         more,
                                     allowedExit);
        return {taken, int(QDir(temp.filePath(folder)).entryList({u"*.html"_s}, QDir::Files).size())};
    }
};

// The wild list of `urls` URLs: nine in ten on hosts that answer after 100 ms (36 URLs each), one
// in ten on dead hosts (4 URLs each, the most one host is loaded with at once), in a shuffled
// order. Runs it with the no-data wait given, and the same list with the dead hosts' URLs left
// out; false when a page is missing.
bool wildList(Lists& lists, int urls, int wait) {
    const int dead = urls / 10;
    QStringList wild;
    QStringList clean;
    for (int i = 0; i < urls - dead; ++i) {
        if (i % 36 == 0) {
            serve(*lists.hosts.emplace_back(std::make_unique<QTcpServer>()));
        }
        clean += lists.url(*lists.hosts.back(), i);
    }
    wild = clean;
    for (int i = 0; i < dead; ++i) {
        if (i % 4 == 0) {
            serveNothing(*lists.hosts.emplace_back(std::make_unique<QTcpServer>()));
        }
        wild += lists.url(*lists.hosts.back(), urls + i);
    }
    std::mt19937 shuffle(23);
    std::shuffle(wild.begin(), wild.end(), shuffle);
    std::shuffle(clean.begin(), clean.end(), shuffle);
    const QString size = QString::number(urls) + u'-' + QString::number(wait);
    const QStringList timeout{u"--timeout"_s, QString::number(wait)};
    const auto [wildSeconds, wildPages] =
        lists.pages(lists.write(u"wild"_s + size, wild.join(u'\n').toLatin1()),
                    u"wild"_s + size + u"-pages"_s, timeout, 1);
    const auto [cleanSeconds, cleanPages] =
        lists.pages(lists.write(u"clean"_s + size, clean.join(u'\n').toLatin1()),
                    u"clean"_s + size + u"-pages"_s, timeout);
    if (wildSeconds < 0 || cleanSeconds < 0 || wildPages != urls - dead || cleanPages != urls - dead) {
        return false;
    }
    std::printf("%d URLs, %d on %d dead hosts, --timeout %d: %.2f s, %.2f stall waits (goal <= 2 for 640); "
                "without the dead hosts %.2f s, ratio %.2f\n",
                urls, dead, dead / 4, wait, wildSeconds, wildSeconds / wait, cleanSeconds,
                wildSeconds / cleanSeconds);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QString part = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    Lists lists;
    QByteArray list;
    for (int i = 0; i < Hosts; ++i) {
        serve(*lists.hosts.emplace_back(std::make_unique<QTcpServer>()));
    }
    for (int i = 0; i < Urls; ++i) {
        list += lists.url(*lists.hosts[std::size_t(i % Hosts)], i).toLatin1() + '\n';
    }
    const QString file = lists.write(u"list.txt"_s, list);
    if (file.isEmpty()) {
        return 1;
    }
    if (part.isEmpty() || part == u"ahead"_s) {
        const double oneAtATime = lists.pages(file, u"one"_s, {u"--parallel"_s, u"1"_s}).first;
        const double ahead = lists.pages(file, u"ahead"_s, {}).first;
        if (oneAtATime < 0 || ahead < 0) {
            std::fprintf(stderr, "vellumtide-cli did not make every page\n");
            return 1;
        }
        std::printf("%d URLs on %d hosts answering after %d ms: one at a time %.2f s, loads ahead %.2f s\n",
                    Urls, Hosts, AnswerAfterMs, oneAtATime, ahead);
        std::printf("speed-up against one at a time (goal >= 8): %.1f\n", oneAtATime / ahead);
    }
    if (part.isEmpty() || part == u"since"_s) {
        const double firstRun = lists.pages(file, u"since"_s, {u"--since-last"_s}).first;
        const double secondRun = lists.pages(file, u"since"_s, {u"--since-last"_s}).first;
        if (firstRun < 0 || secondRun < 0) {
            std::fprintf(stderr, "vellumtide-cli did not make every page\n");
            return 1;
        }
        std::printf(
            "--since-last, 390 of %d answering 304: first run %.2f s, second run %.2f s, ratio %.2f\n", Urls,
            firstRun, secondRun, secondRun / firstRun);
    }
    if ((part.isEmpty() || part == u"wild"_s) &&
        !(wildList(lists, 640, 30) && wildList(lists, 640, 2) && wildList(lists, 6400, 2))) {
        std::fprintf(stderr, "vellumtide-cli did not make every page of the wild list\n");
        return 1;
    }
    return 0;
}
