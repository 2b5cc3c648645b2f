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

#include "files/AllFiles.h"
#include "files/TextFile.h"
#include "files/Windows1252.h"
#include "platform/Browser.h"
#include "platform/Dialogs.h"
#include "workflow/Workflow.h"

using namespace Qt::StringLiterals;

namespace {

class NoDialogs final : public vt::platform::Dialogs {
public:
    vt::platform::Answer message(const QString&, vt::platform::MessageButtons,
                                 vt::platform::MessageIcon) override {
        return vt::platform::Answer::Ok;
    }
    std::optional<QString> openFile(const QString&) override { return std::nullopt; }
};

class NoBrowser final : public vt::platform::Browser {
public:
    void navigate(const QString&) override {}
    vt::platform::ReadyState readyState() const override { return vt::platform::ReadyState::Complete; }
    bool busy() const override { return false; }
    QString bodyText() const override { return QString(); }
    QString failure() const override { return QString(); }
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A folder of numbered PAD text files, each a corpus file with its program name made unique.
void makeTexts(const QString& folder, int count) {
    const QDir corpus(QStringLiteral(VELLUMTIDE_PAD_CORPUS));
    QList<QByteArray> texts;
    for (const QString& name : corpus.entryList({u"*.xml"_s}, QDir::Files)) {
        QFile file(corpus.filePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            texts += vt::files::encodeWindows1252(QString::fromUtf8(file.readAll()));
        }
    }
    for (int i = 0; i < count; ++i) {
        QFile file(folder + u'/' + QString::number(i) + u".txt"_s);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("<Program_Name>Program " + QByteArray::number(i) + "</Program_Name>\r\n");
            file.write(texts[i % texts.size()]);
        }
    }
}

// Seconds for the batch over the folder: pages made in text-file mode.
double batchSeconds(const QString& texts, const QString& pages, int count) {
    NoDialogs dialogs;
    NoBrowser browser;
    vt::workflow::Workflow workflow(dialogs, browser, [] {});
    workflow.setStorageFolder(pages);
    workflow.setCheck2(1);
    workflow.setPadTextFolder(texts);
    workflow.setRangeEnd(QString::number(count - 1));
    const auto start = std::chrono::steady_clock::now();
    workflow.pressCommand6();
    return secondsSince(start);
}

// Seconds for the plain loop: each file read once, one page-sized file written per record.
double plainSeconds(const QString& texts, const QString& pages, int count) {
    const QStringList names = vt::files::AllFiles(texts).value();
    const QString page(6000, u'x');
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        const QString text = vt::files::readTextFile(texts + u'/' + names[i]).value();
        static_cast<void>(
            vt::files::writeTextFile(pages + u'/' + QString::number(i) + u".html"_s, page + text.left(1)));
    }
    return secondsSince(start);
}

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
    const double batch = batchSeconds(temp.filePath(u"texts"_s), temp.filePath(u"pages"_s), count);
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
