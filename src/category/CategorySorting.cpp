#include "category/CategorySorting.h"

#include <QScopeGuard>

#include <utility>

#include "files/AllFiles.h"
#include "files/SafePath.h"
#include "files/TextFile.h"
#include "pagegen/TemplateFill.h"
#include "platform/ControlNumbers.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "splitter/Splitter.h"
#include "workflow/Workflow.h"

namespace vt::category {
namespace {

using platform::Answer;
using platform::MessageButtons;
using platform::MessageIcon;
using workflow::Control;

const QString Paragraph = QStringLiteral("\r\n\r\n");
const QString CategoryFolderName = QStringLiteral("Category");
const QString OpenTag = QStringLiteral("<Program_Specific_Category>");
const QString CloseTag = QStringLiteral("</Program_Specific_Category>");

const QString FirstQuestion =
    QStringLiteral("This function requires that you choose a folder that contains PAD text files only. Click "
                   "the blue button and "
                   "read the readme page if you are unsure what these are.\r\n\r\nContinue?");
const QString SelectFolderMessage = QStringLiteral(
    "Select the folder where your PAD text files are stored (yellow text box) and then click the "
    "'Make Category Folders' button again");
const QStringList CountingMessage = {
    QStringLiteral(
        "The program will now count the files in the folder. This may take several minutes if you have "
        "thousands of files in the folder."),
    QStringLiteral(
        "After that the program will go through each file, see which category that file belongs to and "
        "create a folder for that category. Progress will be shown by the number record on the bottom "
        "left hand corner."),
    QStringLiteral("Folders will be created in a subfolder called 'Category' within the folder you have just "
                   "selected, which is:"),
};
const QString FinishedQuestion = QStringLiteral(
    "Finished.\r\n\r\nFolders created in %1\r\n\r\nDo you now want to sort each file into its catagory?");
const QString UnreadTexts = QStringLiteral("%1 of the numbered PAD text files could not be read.");
const QString MissingFolderMessage =
    QStringLiteral("The folder \"%1\" does not exist.\r\n\r\nNothing was done.");
const QString NoCategoryFolderMessage =
    QStringLiteral("The folder \"%1\" could not be created.\r\n\r\n%2\r\n\r\nNothing was done.");
const QString LinkedCategoryFolderMessage = QStringLiteral(
    "The folder \"%1\" is a symbolic link: no page is written through one.\r\n\r\nNothing was done.");
const QString RunFinished = QStringLiteral("finished.");
// The run tries this many subfolders when the splitter left no estimate.
constexpr int UnknownEstimate = 10000;

// Creates each missing level of a category, nested by "/" or "\", inside the Category folder.
// A category with a part the system refuses creates nothing, and nothing is created inside a
// level that is a symbolic link.
void createCategoryFolder(const QString& categoryRoot, const QString& category) {
    if (!files::nestedPath(categoryRoot, category)) {
        return;
    }
    QString path = categoryRoot;
    for (const QString& part : QString(category).replace(u'\\', u'/').split(u'/')) {
        path = files::displayPath(path, part);
        if (platform::IsLink(path)) {
            return;
        }
        if (!platform::FolderExists(path)) {
            static_cast<void>(platform::CreateFolder(path));
        }
    }
}

QString subfolderOf(const QString& baseFolder, int number) {
    return files::displayPath(baseFolder, QString::number(number));
}

// The files of a folder; none when it cannot be listed.
int filesIn(const QString& folder) {
    const Result<int> files = platform::FileCount(folder);
    return files ? files.value() : 0;
}

} // namespace

CategorySorting::CategorySorting(workflow::Workflow& workflow, platform::Dialogs& dialogs,
                                 platform::Yield yield, QObject* parent)
    : QObject(parent)
    , m_workflow(workflow)
    , m_dialogs(dialogs)
    , m_yield(std::move(yield)) {
    m_workflow.setCheck3Action([this] { runCategoryRun(); });
}

CategorySorting::~CategorySorting() {
    m_workflow.setCheck3Action(nullptr);
}

bool CategorySorting::yieldGoesOn() {
    m_yield();
    return !m_workflow.isStopping();
}

void CategorySorting::pressCommand12() {
    if (!m_workflow.beginRun()) {
        return;
    }
    m_lastRun = workflow::BatchSummary{};
    m_lastRun.refused = true;
    const QString padTextFolder = m_workflow.padTextFolder();
    if (m_dialogs.message(FirstQuestion, MessageButtons::YesNo, MessageIcon::None) != Answer::Yes) {
        m_workflow.endRun();
        return;
    }
    if (padTextFolder.isEmpty()) {
        m_workflow.setStorageFolder(QString());
        m_workflow.enterCategoryLayout();
        m_dialogs.message(SelectFolderMessage, MessageButtons::Ok, MessageIcon::None);
        m_workflow.endRun();
        return;
    }
    // A theme that cannot be used refuses the pass before it files anything.
    const QString categoryRoot = files::displayPath(padTextFolder, CategoryFolderName);
    if (m_workflow.readPageTheme() && createCategoryFolders(padTextFolder, categoryRoot)) {
        handOverToSplitter(padTextFolder);
    }
    m_workflow.endRun();
}

// The folder pass: one folder per category text of the numbered files F/0.txt, F/1.txt, ...
// False when it ended early or the user does not want the files sorted.
bool CategorySorting::createCategoryFolders(const QString& padTextFolder, const QString& categoryRoot) {
    if (!platform::FolderExists(padTextFolder)) {
        m_dialogs.message(MissingFolderMessage.arg(padTextFolder), MessageButtons::Ok,
                          MessageIcon::Exclamation);
        return false;
    }
    if (platform::IsLink(categoryRoot)) {
        m_dialogs.message(LinkedCategoryFolderMessage.arg(categoryRoot), MessageButtons::Ok,
                          MessageIcon::Exclamation);
        return false;
    }
    if (!platform::FolderExists(categoryRoot)) {
        const Status created = platform::CreateFolder(categoryRoot);
        if (!created) {
            m_dialogs.message(NoCategoryFolderMessage.arg(categoryRoot, created.message()),
                              MessageButtons::Ok, MessageIcon::Exclamation);
            return false;
        }
    }
    m_workflow.setStorageFolder(categoryRoot);
    m_dialogs.message((CountingMessage + QStringList{categoryRoot}).join(Paragraph), MessageButtons::Ok,
                      MessageIcon::Information);

    const Result<QStringList> listing = files::AllFiles(padTextFolder);
    const qsizetype upperBound = listing.ok() ? listing.value().size() - 1 : -1;
    m_workflow.setRangeEnd(QString::number(std::max<qsizetype>(upperBound, 0)));
    m_workflow.setControlShown(Control::Text4, true);
    int unread = 0;
    for (qsizetype i = 0; i <= upperBound; ++i) {
        if (!yieldGoesOn()) {
            return false;
        }
        m_workflow.setRecordCounter(QString::number(i));
        if (!yieldGoesOn()) {
            return false;
        }
        // The files are taken by number, not by the names of the listing.
        const Result<QString> text = files::readTextFile(
            files::displayPath(padTextFolder, QString::number(i) + QStringLiteral(".txt")));
        if (!text) {
            ++unread;
            ++m_lastRun.failed;
            m_lastRun.failures += text.message();
            continue;
        }
        m_workflow.setPadText(text.value());
        const qsizetype open = text.value().indexOf(OpenTag);
        if (open >= 0) {
            m_workflow.setPadText(text.value().mid(open + OpenTag.size()));
            const qsizetype close = m_workflow.padText().indexOf(CloseTag);
            if (close > 0) {
                createCategoryFolder(categoryRoot, m_workflow.padText().left(close));
            }
        }
        m_workflow.setPadText(QString());
    }
    QString finished = FinishedQuestion.arg(categoryRoot);
    if (unread > 0) {
        finished += Paragraph + UnreadTexts.arg(unread);
    }
    return m_dialogs.message(finished, MessageButtons::YesNo, MessageIcon::None) == Answer::Yes;
}

void CategorySorting::handOverToSplitter(const QString& padTextFolder) {
    // Stop, or closing the main window (Ctrl-C in the runner), stops the split at its next file, as
    // closing the splitter's own window does.
    const platform::Yield yieldToSplit = [this] {
        m_yield();
        if (m_workflow.isStopping()) {
            m_splitter->shutDown();
        }
    };
    m_splitter = std::make_unique<splitter::Splitter>(m_dialogs, yieldToSplit, [this] {
        m_splitterTicks = true;
        m_workflow.setCheck3(1);
        m_splitterTicks = false;
    });
    emit splitterOpened(*m_splitter);
    m_workflow.setControlShown(Control::Check3, true);
    m_splitter->setFolderListPath(padTextFolder);
    m_splitter->setMasterFolder(padTextFolder);
    m_splitter->pressCountFiles();
    m_splitter.reset();
}

void CategorySorting::runCategoryRun() {
    // Inside the pass only the splitter's own tick starts the run; any other change of the box
    // starts one only when nothing else is running.
    const bool partOfThePass = std::exchange(m_splitterTicks, false);
    if (!partOfThePass && !m_workflow.beginRun()) {
        return;
    }
    if (!partOfThePass) {
        m_lastRun = workflow::BatchSummary{};
    }
    if (!m_workflow.readPageTheme()) {
        m_lastRun.refused = true;
        if (!partOfThePass) {
            m_workflow.endRun();
        }
        return;
    }
    m_lastRun.refused = false;
    categoryRun();
    if (!partOfThePass) {
        m_workflow.endRun();
    }
}

void CategorySorting::categoryRun() {
    const QString estimate = m_splitter ? m_splitter->folderEstimate() : QString();
    const int lastSubfolder =
        estimate.isEmpty() ? UnknownEstimate : platform::toInt32(estimate).value_or(UnknownEstimate);
    const QString baseFolder = m_workflow.padTextFolder();
    // The yellow box shows the folder the user chose again, not the subfolder the run ended in, so
    // that the next step (index pages, a check) works on the whole folder.
    const auto showBaseFolder = qScopeGuard([&] { m_workflow.setPadTextFolder(baseFolder); });
    workflow::BatchSummary total;
    // A PAD text file the split could not move into its subfolder gets no page.
    if (m_splitter) {
        const splitter::SplitResult& split = m_splitter->lastSplit();
        total.records += split.notMoved;
        total.failed += split.notMoved;
        total.failures += split.reasons;
        m_lastRun.add(total);
    }
    int next = 0; // the first subfolder the run did not go through
    for (; next <= lastSubfolder && !total.stopped; ++next) {
        m_workflow.setPadTextFolder(baseFolder);
        if (!yieldGoesOn()) {
            break;
        }
        m_workflow.setCategoryProgress(QString::number(next));
        if (!yieldGoesOn()) {
            break;
        }
        const QString subfolder = subfolderOf(baseFolder, next);
        m_workflow.setPadTextFolder(subfolder);
        if (filesIn(subfolder) == 0) {
            break;
        }
        const workflow::BatchSummary batch = m_workflow.runBatch();
        total.add(batch);
        m_lastRun.add(batch);
    }
    if (m_workflow.isShutDown()) {
        return;
    }
    if (m_workflow.isStopping()) {
        // How far it got, of the records of every subfolder the run would have gone on to.
        total.stopped = true;
        for (; next <= lastSubfolder; ++next) {
            const int files = filesIn(subfolderOf(baseFolder, next));
            if (files == 0) {
                break;
            }
            total.total += files;
        }
    }
    m_workflow.copyThemeFiles(total, files::displayPath(baseFolder, CategoryFolderName));
    if (total.worthTelling()) {
        m_workflow.reportSummary(total);
    }
    m_dialogs.message(RunFinished, MessageButtons::Ok, MessageIcon::Information);
}

} // namespace vt::category
