// End to end: `vellumtide-cli pages --from-texts` over 30,000 PAD text files made from the corpus,
// timed from the outside (process start, listing, every page, exit), against the same batch in
// this process through the workflow model and against a plain loop that reads each file once and
// writes one page-sized file per record. Prints pages per second and the ratios.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <cstdio>

#include "BenchSupport.h"

using namespace Qt::StringLiterals;

namespace {

using namespace vt::bench;

constexpr int Records = 30000;

// Seconds for the runner as a script starts it; negative when it did not make every page.
double cliSeconds(const QString& texts, const QString& pages) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto start = std::chrono::steady_clock::now();
    process.start(QStringLiteral(VELLUMTIDE_CLI),
                  {u"pages"_s, u"--from-texts"_s, texts, u"--storage"_s, pages, u"--quiet"_s});
    const bool finished = process.waitForFinished(-1);
    const double seconds = secondsSince(start);
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? seconds : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QTemporaryDir temp;
    for (const QString& folder : {u"texts"_s, u"cli"_s, u"model"_s, u"plain"_s}) {
        QDir(temp.path()).mkdir(folder);
    }
    makeTexts(temp.filePath(u"texts"_s), Records);
    // A user's folder of PAD texts was written long before the run; let its time stamps settle
    // so its listing can be kept between records.
    settleDisk();
    QThread::msleep(2500);

    const double plain = plainSeconds(temp.filePath(u"texts"_s), temp.filePath(u"plain"_s), Records);
    settleDisk();
    const double model = batchSeconds(temp.filePath(u"texts"_s), temp.filePath(u"model"_s));
    settleDisk();
    const double cli = cliSeconds(temp.filePath(u"texts"_s), temp.filePath(u"cli"_s));
    if (cli < 0) {
        std::fprintf(stderr, "vellumtide-cli did not make every page\n");
        return 1;
    }
    std::printf("%d records\n", Records);
    std::printf("  vellumtide-cli pages --from-texts  %6.1f s  %6.0f pages/s\n", cli, Records / cli);
    std::printf("  the batch in process               %6.1f s  %6.0f pages/s\n", model, Records / model);
    std::printf("  plain read/write loop              %6.1f s  %6.0f records/s\n", plain, Records / plain);
    std::printf("ratio vellumtide-cli / plain loop: %.2f; vellumtide-cli / batch in process: %.2f\n",
                cli / plain, cli / model);
    return 0;
}
