#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>

#include "platform/Yield.h"
#include "splitter/FolderSplit.h"

namespace vt::platform {
class Dialogs;
}

namespace vt::splitter {

// The controls of the splitter window whose state changes.
enum class SplitterControl {
    Label1,
    Text1,
    Command2,
    Drive1,
    Label2,
    Dir1,
    Label4,
    Command3,
    Text2,
    Label3,
    Text3,
    Label5,
    Text4,
    Command1,
};

// The state and actions of the splitter window ("Quillmere") without widgets: the master folder,
// the file count, the files per subfolder and the estimate, each held as the text its box shows.
// "Count Files" counts, sets 50 per subfolder, splits, hands over, and asks to be closed.
class Splitter final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Splitter)

public:
    // afterSplit is the hand-over at the end of "Count Files" (it ticks the main window's
    // category box); it runs while the splitter and its estimate still exist.
    Splitter(platform::Dialogs& dialogs, platform::Yield yield, std::function<void()> afterSplit,
             QObject* parent = nullptr);

    const QString& masterFolder() const { return m_masterFolder; }     // Text1
    const QString& fileCount() const { return m_fileCount; }           // Text2
    const QString& filesPerFolder() const { return m_filesPerFolder; } // Text3
    const QString& folderEstimate() const { return m_folderEstimate; } // Text4
    const QString& progress() const { return m_progress; }             // Label2
    const QString& folderListPath() const { return m_folderListPath; } // Dir1
    // What the last "Make Folders" moved and left.
    const SplitResult& lastSplit() const { return m_lastSplit; }
    bool isShown(SplitterControl control) const { return m_shown[std::size_t(control)]; }

    // "..." (Command2): shows the folder list, the drive list and the patience hint.
    void pressBrowse();
    // The folder list's current folder changed, by the user or from code.
    void setFolderListPath(const QString& path);
    void setMasterFolder(const QString& folder);
    void setFileCount(const QString& text);
    // A change of the files per subfolder computes the estimate.
    void setFilesPerFolder(const QString& text);
    void setFolderEstimate(const QString& text);
    // "Count Files" (Command3).
    void pressCountFiles();
    // "Make Folders" (Command1).
    void pressMakeFolders();

    // The window closed: a split stops at its next yield.
    void shutDown() { m_shutDown = true; }

signals:
    void changed();
    // "Count Files" is over: the window closes itself.
    void closeRequested();

private:
    void setShown(std::initializer_list<SplitterControl> controls, bool shown);
    bool yieldGoesOn();

    platform::Dialogs& m_dialogs;
    platform::Yield m_yield;
    std::function<void()> m_afterSplit;
    QString m_masterFolder;
    QString m_fileCount;
    QString m_filesPerFolder;
    QString m_folderEstimate;
    QString m_progress;
    QString m_folderListPath;
    std::array<bool, std::size_t(SplitterControl::Command1) + 1> m_shown{};
    SplitResult m_lastSplit;
    bool m_shutDown = false;
};

} // namespace vt::splitter
