#pragma once

// What the timed benchmark programs share: a workflow without dialogs or browser, folders of PAD
// text files made from the corpus, and the plain read/write loop the batch is measured against.
#include <QDir>
#include <QFile>

#include <chrono>

#include <unistd.h>

#include "files/AllFiles.h"
#include "files/TextFile.h"
#include "files/Windows1252.h"
#include "platform/Browser.h"
#include "platform/Dialogs.h"
#include "workflow/Workflow.h"

namespace vt::bench {

using namespace Qt::StringLiterals;

// Answers every message with Yes (or OK) and cancels the file dialog.
class NoDialogs final : public platform::Dialogs {
public:
    platform::Answer message(const QString&, platform::MessageButtons buttons,
                             platform::MessageIcon) override {
        return buttons == platform::MessageButtons::Ok ? platform::Answer::Ok : platform::Answer::Yes;
    }
    std::optional<QString> openFile(const QString&) override { return std::nullopt; }
};

class NoBrowser final : public platform::Browser {
public:
    void navigate(const QString&) override {}
    platform::ReadyState readyState() const override { return platform::ReadyState::Complete; }
    bool busy() const override { return false; }
    QString bodyText() const override { return QString(); }
    QString failure() const override { return QString(); }
};

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Writes what earlier phases left in the page cache, so no phase pays for the one before it.
inline void settleDisk() {
    ::sync();
}

// A folder of numbered PAD text files, each a corpus file with its program name made unique.
inline void makeTexts(const QString& folder, int count) {
    const QDir corpus(QStringLiteral(VELLUMTIDE_PAD_CORPUS));
    QList<QByteArray> texts;
    for (const QString& name : corpus.entryList({u"*.xml"_s}, QDir::Files)) {
        QFile file(corpus.filePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            texts += files::encodeWindows1252(QString::fromUtf8(file.readAll()));
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

// Seconds for the text-file batch over the folder in this process, with yields that do nothing.
inline double batchSeconds(const QString& texts, const QString& pages) {
    NoDialogs dialogs;
    NoBrowser browser;
    workflow::Workflow workflow(dialogs, browser, [] {});
    workflow.setStorageFolder(pages);
    workflow.setCheck2(1);
    workflow.choosePadTextFolder(texts);
    const auto start = std::chrono::steady_clock::now();
    workflow.pressCommand6();
    return secondsSince(start);
}

// Seconds for the plain loop: each file read once, one page-sized file written per record.
inline double plainSeconds(const QString& texts, const QString& pages, int count) {
    const QStringList names = files::AllFiles(texts).value();
    const QString page(6000, u'x');
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        const QString text = files::readTextFile(texts + u'/' + names[i]).value();
        static_cast<void>(
            files::writeTextFile(pages + u'/' + QString::number(i) + u".html"_s, page + text.left(1)));
    }
    return secondsSince(start);
}

} // namespace vt::bench
