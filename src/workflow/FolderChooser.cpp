#include "workflow/FolderChooser.h"

#include <QLineEdit>
#include <QShortcut>

#include "platform/ScreenFit.h"
#include "platform/DriveList.h"
#include "platform/FolderList.h"
#include "platform/Settings.h"
#include "platform/Twips.h"
#include "workflow/WindowFonts.h"
#include "workflow/Workflow.h"

namespace vt::workflow {
namespace {

using platform::twips;
using platform::twipsSize;

// The storage folder is written here and never read back.
const QString SettingsName = QStringLiteral("ZRA");

} // namespace

FolderChooser::FolderChooser(Workflow& workflow, Kind kind, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_workflow(workflow)
    , m_kind(kind)
    , m_drive1(new platform::DriveList(this))
    , m_dir1(new platform::FolderList(this))
    , m_text1(new QLineEdit(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(windowFont());
    m_drive1->setObjectName(QStringLiteral("Drive1"));
    m_dir1->setObjectName(QStringLiteral("Dir1"));
    m_text1->setObjectName(QStringLiteral("Text1"));
    if (kind == Kind::StorageFolder) {
        setObjectName(QStringLiteral("Form6"));
        setWindowTitle(QStringLiteral("Folder Location"));
        platform::PlaceOnScreen(this, twipsSize(10110, 8670));
        m_drive1->setGeometry(twips(120, 120, 9855, 315));
        m_dir1->setGeometry(twips(120, 480, 9855, 7515));
        m_text1->setGeometry(twips(120, 8160, 9855, 375));
    } else {
        setObjectName(QStringLiteral("Form8"));
        setWindowTitle(QStringLiteral("Where are the text files?"));
        platform::PlaceOnScreen(this, twipsSize(9630, 8460));
        m_drive1->setGeometry(twips(120, 120, 9495, 315));
        m_dir1->setGeometry(twips(120, 480, 9375, 7290));
        m_text1->setGeometry(twips(120, 7920, 9375, 375));
    }
    // Esc closes the chooser, as it closes a dialog; the folder chosen so far stays.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    setTabOrder(m_dir1, m_drive1);
    setTabOrder(m_drive1, m_text1);

    // Choosing a drive moves the folder list to it, which in turn takes that folder.
    connect(m_drive1, &platform::DriveList::driveChosen, m_dir1, &platform::FolderList::setPath);
    connect(m_dir1, &platform::FolderList::pathChanged, this, &FolderChooser::folderOpened);
}

void FolderChooser::folderOpened(const QString& folder) {
    if (m_kind == Kind::PadTextFolder) {
        m_workflow.choosePadTextFolder(folder);
        return;
    }
    m_workflow.setStorageFolder(folder);
    m_text1->setText(folder);
    platform::SaveSetting(SettingsName, SettingsName, SettingsName, folder);
}

} // namespace vt::workflow
