// The folder splitter over 40,000 empty files against a plain loop of renames over the same
// number of files, and the category folder pass over 5,000 PAD texts.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

#include "category/CategorySorting.h"
#include "BenchSupport.h"
#include "platform/Dialogs.h"
#include "splitter/FolderSplit.h"
#include "workflow/Workflow.h"

using namespace Qt::StringLiterals;

namespace {

using namespace vt::bench;

constexpr int SplitFiles = 40000;
constexpr int CategoryTexts = 5000;

void makeEmptyFiles(const QString& folder, int count) {
    for (int i = 0; i < count; ++i) {
        QFile(folder + u'/' + QString::number(i) + u".txt"_s).open(QIODevice::WriteOnly);
    }
}

double splitSeconds() {
    QTemporaryDir master;
    makeEmptyFiles(master.path(), SplitFiles);
    const auto start = std::chrono::steady_clock::now();
    const int estimate = vt::splitter::FolderEstimate(QString::number(SplitFiles), u"50"_s).value();
    vt::splitter::SplitFolder(master.path(), estimate, 50, SplitFiles, [](int) { return true; });
    return secondsSince(start);
}

// The same number of files renamed into 801 subfolders, with nothing else around it.
double plainRenameSeconds() {
    QTemporaryDir master;
    makeEmptyFiles(master.path(), SplitFiles);
    const auto start = std::chrono::steady_clock::now();
    QDir dir(master.path());
    for (int k = 0; k <= SplitFiles / 50; ++k) {
        dir.mkdir(QString::number(k));
    }
    for (int i = 0; i < SplitFiles; ++i) {
        const QString name = QString::number(i) + u".txt"_s;
        QFile::rename(dir.filePath(name), dir.filePath(QString::number(i / 50) + u'/' + name));
    }
    return secondsSince(start);
}

// Yes to the first question, No to the offer to sort at the end: the pass alone is measured.
class PassDialogs final : public vt::platform::Dialogs {
public:
    vt::platform::Answer message(const QString& text, vt::platform::MessageButtons buttons,
                                 vt::platform::MessageIcon) override {
        if (buttons == vt::platform::MessageButtons::Ok) {
            return vt::platform::Answer::Ok;
        }
        return text.startsWith(u"Finished."_s) ? vt::platform::Answer::No : vt::platform::Answer::Yes;
    }
    std::optional<QString> openFile(const QString&) override { return std::nullopt; }
};

double categoryPassSeconds() {
    QTemporaryDir folder;
    for (int i = 0; i < CategoryTexts; ++i) {
        QFile file(folder.filePath(QString::number(i) + u".txt"_s));
        file.open(QIODevice::WriteOnly);
        file.write("<Program_Name>Program " + QByteArray::number(i) +
                   "</Program_Name>\r\n<Program_Specific_Category>Category " + QByteArray::number(i % 40) +
                   "</Program_Specific_Category>\r\n");
    }
    PassDialogs dialogs;
    NoBrowser browser;
    vt::workflow::Workflow workflow(dialogs, browser, [] {});
    vt::category::CategorySorting sorting(workflow, dialogs, [] {});
    workflow.setPadTextFolder(folder.path());
    const auto start = std::chrono::steady_clock::now();
    sorting.pressCommand12();
    return secondsSince(start);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const double split = splitSeconds();
    const double plain = plainRenameSeconds();
    std::printf("split %d files into folders of 50: %.2f s; plain renames: %.2f s; ratio %.2f\n", SplitFiles,
                split, plain, split / plain);
    const double pass = categoryPassSeconds();
    std::printf("category folder pass over %d PAD texts: %.2f s (%.0f files/s)\n", CategoryTexts, pass,
                CategoryTexts / pass);
    return 0;
}
