// `vellumtide-cli index` over 30,000 pages in 200 category folders (one in four nested a level
// deeper), with their PAD texts in the numbered subfolders sort leaves them in, timed from the
// outside against `find` listing the same tree. Prints both, the ratio, and the time against its
// goal of 2 s.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "BenchSupport.h"

using namespace Qt::StringLiterals;

namespace {

using namespace vt::bench;

constexpr int Pages = 30000;
constexpr int Categories = 200;
constexpr int TextsPerSubfolder = 50;
constexpr int Runs = 3;

QString categoryOf(int page) {
    const int category = page % Categories;
    return category % 4 == 0 ? u"Group %1/Part"_s.arg(category) : u"Group %1"_s.arg(category);
}

// The corpus texts, each after a name and category of its own, as sort leaves them; and an empty
// page for each, where the category run wrote it.
void makeSite(const QString& folder) {
    const QDir corpus(QStringLiteral(VELLUMTIDE_PAD_CORPUS));
    QList<QByteArray> texts;
    for (const QString& name : corpus.entryList({u"*.xml"_s}, QDir::Files)) {
        QFile file(corpus.filePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            texts += vt::files::encodeWindows1252(QString::fromUtf8(file.readAll()));
        }
    }
    QDir dir(folder);
    for (int i = 0; i < Pages; ++i) {
        const QString name = u"Program %1"_s.arg(i);
        const QString subfolder = QString::number(i / TextsPerSubfolder);
        const QString category = u"Category/"_s + categoryOf(i);
        dir.mkpath(subfolder);
        dir.mkpath(category);
        QFile text(dir.filePath(subfolder + u'/' + QString::number(i) + u".txt"_s));
        if (text.open(QIODevice::WriteOnly)) {
            text.write("<Program_Name>" + name.toLatin1() + "</Program_Name>\r\n<Program_Specific_Category>" +
                       categoryOf(i).toLatin1() + "</Program_Specific_Category>\r\n");
            text.write(texts[i % texts.size()]);
        }
        QFile(dir.filePath(category + u'/' + name + u".html"_s)).open(QIODevice::WriteOnly);
    }
}

// The fastest of a few runs of the command, in seconds; negative when one failed.
double seconds(const QString& program, const QStringList& arguments) {
    double fastest = -1;
    for (int run = 0; run < Runs; ++run) {
        settleDisk();
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const auto start = std::chrono::steady_clock::now();
        process.start(program, arguments);
        const bool finished = process.waitForFinished(-1);
        const double taken = secondsSince(start);
        if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            return -1;
        }
        fastest = fastest < 0 ? taken : std::min(fastest, taken);
    }
    return fastest;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QTemporaryDir temp(QDir::tempPath() + u"/vellumtide-bench-XXXXXX"_s);
    makeSite(temp.path());
    const double listing = seconds(u"find"_s, {temp.path()});
    const double index =
        seconds(QStringLiteral(VELLUMTIDE_CLI), {u"index"_s, u"--storage"_s, temp.path(), u"--site-url"_s,
                                                 u"https://www.example.com"_s, u"--quiet"_s});
    if (listing < 0 || index < 0) {
        std::fprintf(stderr, "find or vellumtide-cli index failed\n");
        return 1;
    }
    std::printf("index of %d pages in %d category folders, with their %d PAD texts (goal < 2 s): %.2f s\n",
                Pages, Categories, Pages, index);
    std::printf("find listing the same tree: %.3f s\nratio index / find: %.1f\n", listing, index / listing);
    return 0;
}
