// End to end: `vellumtide-cli pages --from-texts` over folders of PAD text files made from the
// corpus, timed from the outside (process start, listing, every page, exit), against `cp -r` of
// the same folder in the same run: on disk, in memory (/dev/shm), and the cost per page as the
// folder grows from 2,000 to 10,000 texts; over texts written a moment before, as a `texts` run
// leaves them; a second run over the same folders, which finds every page unchanged; the modern
// theme's pages beside the classic ones; and `check` of the same folder against its pages.
// Prints each ratio.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <cstdio>

#include "BenchSupport.h"

using namespace Qt::StringLiterals;

namespace {

using namespace vt::bench;

// Seconds for a command run to its end; negative when it failed (an exit code above highestExit).
double seconds(const QString& program, const QStringList& arguments, int highestExit = 0) {
    settleDisk();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto start = std::chrono::steady_clock::now();
    process.start(program, arguments);
    const bool finished = process.waitForFinished(-1);
    const double taken = secondsSince(start);
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() <= highestExit
               ? taken
               : -1;
}

struct Measured {
    double pages;
    double unflushed; // the same run with every flush to the disk taken away (eatmydata), or -1
    double again;
    double copy;
    double check;
    double fresh;     // pages over texts written just before
    double freshCopy; // cp -r of those texts
    double modern;    // the pages of the settled texts in the modern theme
};

// The runner and `cp -r` over `count` texts in a new folder below `base`.
Measured measure(const QString& base, int count) {
    QTemporaryDir temp(base + u"/vellumtide-bench-XXXXXX"_s);
    QDir(temp.path()).mkdir(u"texts"_s);
    QDir(temp.path()).mkdir(u"pages"_s);
    makeTexts(temp.filePath(u"texts"_s), count);
    // A user's folder of PAD texts was written long before the run; let its time stamps settle
    // so its listing and texts can be kept between steps.
    QThread::msleep(2500);
    const double copy = seconds(u"cp"_s, {u"-r"_s, temp.filePath(u"texts"_s), temp.filePath(u"copy"_s)});
    const QStringList run = {u"pages"_s,     u"--from-texts"_s,         temp.filePath(u"texts"_s),
                             u"--storage"_s, temp.filePath(u"pages"_s), u"--quiet"_s};
    const double pages = seconds(QStringLiteral(VELLUMTIDE_CLI), run);
    // What making every write durable costs: the same run into another folder, its fsyncs turned
    // into nothing by eatmydata's preload.
    QDir(temp.path()).mkdir(u"unflushed"_s);
    QStringList unflushedRun = QStringList{QStringLiteral(VELLUMTIDE_CLI)} + run;
    unflushedRun[unflushedRun.indexOf(temp.filePath(u"pages"_s))] = temp.filePath(u"unflushed"_s);
    const QString eatmydata = QStandardPaths::findExecutable(u"eatmydata"_s);
    const double unflushed = eatmydata.isEmpty() ? -1 : seconds(eatmydata, unflushedRun);
    const double again = seconds(QStringLiteral(VELLUMTIDE_CLI), run);
    // The PAD check reads the same texts and writes nothing; it finds errors or none (exit 1 or 0).
    const double check = seconds(QStringLiteral(VELLUMTIDE_CLI),
                                 {u"check"_s, u"--from-texts"_s, temp.filePath(u"texts"_s), u"--quiet"_s}, 1);
    QDir(temp.path()).mkdir(u"modern"_s);
    const double modern = seconds(QStringLiteral(VELLUMTIDE_CLI),
                                  {u"pages"_s, u"--from-texts"_s, temp.filePath(u"texts"_s), u"--storage"_s,
                                   temp.filePath(u"modern"_s), u"--theme"_s, u"modern"_s, u"--quiet"_s});
    // Texts written a moment before the run, whose time stamps are still new when they are read.
    QDir(temp.path()).mkdir(u"fresh"_s);
    QDir(temp.path()).mkdir(u"fresh-pages"_s);
    makeTexts(temp.filePath(u"fresh"_s), count);
    const double fresh = seconds(QStringLiteral(VELLUMTIDE_CLI),
                                 {u"pages"_s, u"--from-texts"_s, temp.filePath(u"fresh"_s), u"--storage"_s,
                                  temp.filePath(u"fresh-pages"_s), u"--quiet"_s});
    const double freshCopy =
        seconds(u"cp"_s, {u"-r"_s, temp.filePath(u"fresh"_s), temp.filePath(u"fresh-copy"_s)});
    std::printf("  %-9s %6d texts: vellumtide-cli %6.2f s (%5.0f pages/s), cp -r %5.2f s, ratio %5.2f; "
                "second run %5.2f s, ratio %5.2f; texts just written %5.2f s, ratio %5.2f; modern theme "
                "%5.2f s (%5.0f pages/s); check %5.2f s\n",
                qPrintable(base), count, pages, count / pages, copy, pages / copy, again, again / copy, fresh,
                fresh / freshCopy, modern, count / modern, check);
    return {pages, unflushed, again, copy, check, fresh, freshCopy, modern};
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    std::printf("text-file mode against cp -r of the same folder (goals: <= 2 on disk, <= 1.5 in memory)\n");
    const Measured disk = measure(QDir::tempPath(), 10000);
    const Measured memory = measure(u"/dev/shm"_s, 10000);
    const Measured small = measure(QDir::tempPath(), 2000);
    if (disk.pages < 0 || memory.pages < 0 || small.pages < 0 || disk.again < 0 || memory.again < 0 ||
        disk.check < 0 || memory.check < 0 || memory.fresh < 0 || memory.modern < 0) {
        std::fprintf(stderr, "vellumtide-cli did not make every page\n");
        return 1;
    }
    std::printf("ratio on disk: %.2f\nratio in memory: %.2f\n", disk.pages / disk.copy,
                memory.pages / memory.copy);
    std::printf("second run, every page unchanged, against cp -r (goal <= 2): %.2f on disk, %.2f in memory\n",
                disk.again / disk.copy, memory.again / memory.copy);
    std::printf(
        "texts written just before the run, against cp -r of them (goal <= 2 in memory): %.2f on disk, "
        "%.2f in memory\n",
        disk.fresh / disk.freshCopy, memory.fresh / memory.freshCopy);
    std::printf("modern theme against classic pages, 10,000 texts in memory (goal >= 0.5 of the pages per "
                "second): %.0f against %.0f pages/s, %.2f\n",
                10000 / memory.modern, 10000 / memory.pages, memory.pages / memory.modern);
    std::printf("check against pages of the same 10,000 texts (goal <= 1): %.2f on disk, %.2f in memory\n",
                disk.check / disk.pages, memory.check / memory.pages);
    if (disk.unflushed > 0) {
        std::printf("durable writes (a flush before each rename), 10,000 new pages (goal < 10%%): %+.0f%% on "
                    "disk, %+.0f%% in memory\n",
                    100 * (disk.pages / disk.unflushed - 1), 100 * (memory.pages / memory.unflushed - 1));
    } else {
        std::printf("durable writes: not measured, eatmydata is not installed\n");
    }
    std::printf("cost per page, 10,000 against 2,000 texts (goal <= 1.3): %.2f\n",
                (disk.pages / 10000) / (small.pages / 2000));
    return 0;
}
