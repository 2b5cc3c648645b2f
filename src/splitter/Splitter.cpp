#include "splitter/Splitter.h"

#include <QDir>

#include "files/AllFiles.h"
#include "platform/ControlNumbers.h"
#include "platform/Dialogs.h"
#include "splitter/FolderSplit.h"

namespace vt::splitter {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;

const QString PleaseWait = QStringLiteral("please wait...");
const QString FilesPerSubfolder = QStringLiteral("50");
const QString MissingFolderMessage =
    QStringLiteral("The folder \"%1\" does not exist or cannot be read.\r\n\r\nNo file was moved.");

} // namespace

Splitter::Splitter(platform::Dialogs& dialogs, platform::Yield yield, std::function<void()> afterSplit,
                   QObject* parent)
    : QObject(parent)
    , m_dialogs(dialogs)
    , m_yield(std::move(yield))
    , m_afterSplit(std::move(afterSplit))
    , m_progress(PleaseWait)
    , m_folderListPath(QDir::currentPath()) {
    setShown({SplitterControl::Label1, SplitterControl::Text1, SplitterControl::Command2}, true);
}

void Splitter::setShown(std::initializer_list<SplitterControl> controls, bool shown) {
    for (const SplitterControl control : controls) {
        m_shown[std::size_t(control)] = shown;
    }
    emit changed();
}

bool Splitter::yieldGoesOn() {
    m_yield();
    return !m_shutDown;
}

void Splitter::pressBrowse() {
    setShown({SplitterControl::Dir1, SplitterControl::Drive1, SplitterControl::Label4}, true);
}

void Splitter::setFolderListPath(const QString& path) {
    if (path == m_folderListPath) {
        return;
    }
    m_folderListPath = path;
    setMasterFolder(path);
    setShown({SplitterControl::Command3, SplitterControl::Text2}, true);
}

void Splitter::setMasterFolder(const QString& folder) {
    m_masterFolder = folder;
    emit changed();
}

void Splitter::setFileCount(const QString& text) {
    m_fileCount = text;
    emit changed();
}

void Splitter::setFilesPerFolder(const QString& text) {
    if (text == m_filesPerFolder) {
        return;
    }
    m_filesPerFolder = text;
    emit changed();
    const std::optional<int> estimate = FolderEstimate(m_fileCount, m_filesPerFolder);
    if (!estimate) {
        // A count or number per subfolder that is not a positive number gives no estimate.
        return;
    }
    setShown({SplitterControl::Label5, SplitterControl::Text4}, true);
    setFolderEstimate(QString::number(*estimate));
    setShown({SplitterControl::Command1}, true);
}

void Splitter::setFolderEstimate(const QString& text) {
    m_folderEstimate = text;
    emit changed();
}

void Splitter::pressCountFiles() {
    if (!yieldGoesOn()) {
        return;
    }
    setShown({SplitterControl::Label2}, true);
    if (!yieldGoesOn()) {
        return;
    }
    const Result<QStringList> listing = files::AllFiles(m_folderListPath);
    if (!listing || !QDir(m_folderListPath).exists()) {
        setShown({SplitterControl::Label2}, false);
        m_dialogs.message(MissingFolderMessage.arg(m_folderListPath), MessageButtons::Ok,
                          MessageIcon::Exclamation);
        return;
    }
    // A folder without files is listed as one empty name; its count is 0, not 1.
    const bool noFiles = listing.value().constFirst().isEmpty();
    setFileCount(QString::number(noFiles ? 0 : listing.value().size()));
    if (!yieldGoesOn()) {
        return;
    }
    setShown({SplitterControl::Label2}, false);
    setShown({SplitterControl::Label3, SplitterControl::Text3}, true);
    if (!yieldGoesOn()) {
        return;
    }
    setFilesPerFolder(FilesPerSubfolder);
    if (!yieldGoesOn()) {
        return;
    }
    pressMakeFolders();
    if (m_shutDown) {
        return;
    }
    m_afterSplit();
    if (!yieldGoesOn()) {
        return;
    }
    emit closeRequested();
}

void Splitter::pressMakeFolders() {
    const std::optional<std::int32_t> estimate = platform::toInt32(m_folderEstimate);
    const std::optional<std::int32_t> perFolder = platform::toInt32(m_filesPerFolder);
    const std::optional<std::int32_t> count = platform::toInt32(m_fileCount);
    if (!estimate || !perFolder || !count) {
        return;
    }
    m_lastSplit = SplitFolder(m_masterFolder, *estimate, *perFolder, *count, [this](int index) {
        if (!yieldGoesOn()) {
            return false;
        }
        m_progress = QString::number(index);
        setShown({SplitterControl::Label2}, true);
        return true;
    });
    setShown({SplitterControl::Label2}, false);
}

} // namespace vt::splitter
