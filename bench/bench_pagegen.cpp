// Pages per second for the fill and the page writer over 30,000 records, and the cost of
// listing a folder of 30,000 files the first time and again while it is unchanged.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "files/AllFiles.h"
#include "pagegen/PageWriter.h"
#include "pagegen/TemplateDefaults.h"
#include "pagegen/TemplateFill.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Records = 30000;

QStringList corpusTexts() {
    const QDir corpus(QStringLiteral(VELLUMTIDE_PAD_CORPUS));
    QStringList texts;
    for (const QString& name : corpus.entryList({u"*.xml"_s}, QDir::Files)) {
        QFile file(corpus.filePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            texts += QString::fromUtf8(file.readAll());
        }
    }
    return texts;
}

void FillAndWritePages(benchmark::State& state) {
    const QStringList texts = corpusTexts();
    if (texts.isEmpty()) {
        state.SkipWithError("no PAD corpus found");
        return;
    }
    QTemporaryDir storage;
    for (auto _ : state) {
        for (int record = 0; record < Records; ++record) {
            const vt::pagegen::FilledPage filled =
                vt::pagegen::FillTemplate(texts[record % texts.size()], vt::pagegen::DefaultPageTemplate(),
                                          vt::pagegen::DefaultAdBlock(), false);
            const auto written =
                vt::pagegen::WritePage(storage.path(), QString::number(record) + u' ' + filled.programName,
                                       std::nullopt, filled.page);
            benchmark::DoNotOptimize(written.ok());
        }
    }
    state.counters["pages_per_second"] =
        benchmark::Counter(double(Records) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(FillAndWritePages)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void FillOnly(benchmark::State& state) {
    const QStringList texts = corpusTexts();
    int record = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vt::pagegen::FillTemplate(texts[record++ % texts.size()],
                                                           vt::pagegen::DefaultPageTemplate(),
                                                           vt::pagegen::DefaultAdBlock(), false));
    }
    state.counters["pages_per_second"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(FillOnly)->Unit(benchmark::kMicrosecond);

// One folder of 30,000 PAD text files, left alone long enough for its listing to be kept.
const QString& bigFolder() {
    static QTemporaryDir folder;
    static const bool filled = [] {
        for (int i = 0; i < Records; ++i) {
            QFile file(folder.filePath(QString::number(i) + u".txt"_s));
            file.open(QIODevice::WriteOnly);
        }
        QThread::msleep(2500);
        return true;
    }();
    static const QString path = filled ? folder.path() : QString();
    return path;
}

void AllFilesFirstCall(benchmark::State& state) {
    const QString& folder = bigFolder();
    for (auto _ : state) {
        benchmark::DoNotOptimize(vt::files::AllFiles(folder).value().size());
    }
}
BENCHMARK(AllFilesFirstCall)->Unit(benchmark::kMillisecond)->Iterations(1);

void AllFilesRepeatedCall(benchmark::State& state) {
    const QString& folder = bigFolder();
    for (auto _ : state) {
        benchmark::DoNotOptimize(vt::files::AllFiles(folder).value().size());
    }
}
BENCHMARK(AllFilesRepeatedCall)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
