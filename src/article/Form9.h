#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vt::platform {
class Dialogs;
class DriveList;
class FolderList;
} // namespace vt::platform

namespace vt::workflow {
class Workflow;
}

namespace vt::article {

// The article maker, "Make Article". The user chooses a folder of PAD text files; "step1" reads
// them one after another into the hidden work area, and the confirm button fills the web page
// template from the work area (FillArticle), then offers to load the folder. The window writes
// no file: the filled template is saved by the main window's Step 6 under the program name.
// Closing the window discards its state.
class Form9 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form9)

public:
    Form9(workflow::Workflow& workflow, platform::Dialogs& dialogs, QWidget* parent = nullptr);

    // ArticleWorkArea: the text the fill takes its values from, with its line ends as read.
    const QString& workArea() const { return m_workArea; }
    platform::DriveList* driveList() const { return m_drive1; }
    platform::FolderList* folderList() const { return m_dir1; }

private:
    void buildControls();
    void bindControls();
    void showFolderLists();
    void confirmFolder();
    void loadSources();
    void fillArticle();
    void showWorkArea();

    workflow::Workflow& m_workflow;
    platform::Dialogs& m_dialogs;
    QString m_workArea;
    QLineEdit* m_text2 = nullptr;
    QPushButton *m_command1 = nullptr, *m_command2 = nullptr, *m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
    platform::DriveList* m_drive1 = nullptr;
    platform::FolderList* m_dir1 = nullptr;
    QPlainTextEdit* m_text1 = nullptr;
    bool m_showingWorkArea = false;
};

} // namespace vt::article
