#pragma once

#include <QWidget>

class QLineEdit;

namespace vt::platform {
class DriveList;
class FolderList;
} // namespace vt::platform

namespace vt::workflow {

class Workflow;

// The two folder choosers. Every folder the user opens in the folder list is taken at once;
// there is no OK button, the user closes the window when done.
// Form6 "Folder Location" sets the storage folder and writes it to the settings store;
// Form8 "Where are the text files?" sets the PAD text folder and the range end from its files.
class FolderChooser final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderChooser)

public:
    enum class Kind { StorageFolder, PadTextFolder };

    FolderChooser(Workflow& workflow, Kind kind, QWidget* parent = nullptr);

    platform::FolderList* folderList() const { return m_dir1; }
    platform::DriveList* driveList() const { return m_drive1; }

private:
    void folderOpened(const QString& folder);

    Workflow& m_workflow;
    Kind m_kind;
    platform::DriveList* m_drive1;
    platform::FolderList* m_dir1;
    QLineEdit* m_text1;
};

} // namespace vt::workflow
