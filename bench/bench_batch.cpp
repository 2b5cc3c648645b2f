// The text-file batch through the workflow model (no window, yields that do nothing) over folders
// of PAD text files made from the corpus, against a plain loop that reads each file once and
// writes one page-sized file per record. Prints pages per second and the ratios.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <cstdio>

#include "BenchSupport.h"

using namespace Qt::StringLiterals;

namespace {

using namespace vt::bench;

struct Run {
    double batch;
    double plain;
};

Run measure(int count) {
    QTemporaryDir temp;
    QDir(temp.path()).mkdir(u"texts"_s);
    QDir(temp.path()).mkdir(u"pages"_s);
    QDir(temp.path()).mkdir(u"plain"_s);
    makeTexts(temp.filePath(u"texts"_s), count);
    // A user's folder of PAD texts was written long before the run; let its time stamps settle
    // so its listing can be kept between records.
    QThread::msleep(2500);
    settleDisk();
    const double batch = batchSeconds(temp.filePath(u"texts"_s), temp.filePath(u"pages"_s));
    settleDisk();
    const double plain = plainSeconds(temp.filePath(u"texts"_s), temp.filePath(u"plain"_s), count);
    std::printf("%6d records: batch %.1f s (%.0f pages/s), plain loop %.1f s (%.0f records/s), ratio %.2f\n",
                count, batch, count / batch, plain, count / plain, batch / plain);
    return {batch, plain};
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const Run small = measure(3000);
    const Run large = measure(30000);
    std::printf("per-page cost, 30,000 against 3,000 records: %.2f\n",
                (large.batch / 30000) / (small.batch / 3000));
    return 0;
}
