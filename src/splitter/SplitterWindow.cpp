#include "splitter/SplitterWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "platform/ScreenFit.h"
#include "platform/DriveList.h"
#include "platform/FolderList.h"
#include "platform/Twips.h"
#include "workflow/WindowFonts.h"

namespace vt::splitter {
namespace {

using platform::twips;

} // namespace

SplitterWindow::SplitterWindow(Splitter& splitter, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_splitter(&splitter)
    , m_text1(new QLineEdit(this))
    , m_text2(new QLineEdit(this))
    , m_text3(new QLineEdit(this))
    , m_text4(new QLineEdit(this))
    , m_label2(new QLabel(this))
    , m_dir1(new platform::FolderList(this)) {
    setObjectName(QStringLiteral("Splitter"));
    setWindowTitle(QStringLiteral("Quillmere"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(workflow::windowFont());
    platform::PlaceOnScreen(this, platform::twipsSize(8805, 8355));

    auto place = [this](QWidget* widget, SplitterControl control, const char* name, QRect geometry) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(geometry);
        m_controls[control] = widget;
    };
    auto* drive1 = new platform::DriveList(this);
    auto* command2 = new QPushButton(QStringLiteral("..."), this);
    auto* command3 = new QPushButton(QStringLiteral("Count Files"), this);
    auto* command1 = new QPushButton(QStringLiteral("Make Folders"), this);
    place(new QLabel(QStringLiteral("Choose a Master Folder"), this), SplitterControl::Label1, "Label1",
          twips(120, 240, 4095, 255));
    place(m_text1, SplitterControl::Text1, "Text1", twips(120, 480, 7815, 375));
    place(command2, SplitterControl::Command2, "Command2", twips(8040, 480, 615, 375));
    place(drive1, SplitterControl::Drive1, "Drive1", twips(120, 960, 3375, 315));
    place(m_label2, SplitterControl::Label2, "Label2", twips(3600, 960, 5055, 1215));
    place(m_dir1, SplitterControl::Dir1, "Dir1", twips(120, 1440, 3375, 4680));
    auto* label4 =
        new QLabel(QStringLiteral("Folders with a large number of files may take several minutes to "
                                  "load.........be patient......"),
                   this);
    label4->setWordWrap(true);
    place(label4, SplitterControl::Label4, "Label4", twips(3600, 5640, 4500, 480));
    place(command3, SplitterControl::Command3, "Command3", twips(120, 6240, 3375, 375));
    place(m_text2, SplitterControl::Text2, "Text2", twips(3600, 6240, 5055, 375));
    place(new QLabel(QStringLiteral("How Many Files per Folder?"), this), SplitterControl::Label3, "Label3",
          twips(840, 6720, 2775, 255));
    place(m_text3, SplitterControl::Text3, "Text3", twips(3600, 6720, 5055, 375));
    place(new QLabel(QStringLiteral("Approx. Folders To Be Created:"), this), SplitterControl::Label5,
          "Label5", twips(480, 7200, 3120, 240));
    place(m_text4, SplitterControl::Text4, "Text4", twips(3600, 7200, 5055, 375));
    place(command1, SplitterControl::Command1, "Command1", twips(6720, 7680, 1935, 615));
    m_label2->setFont(workflow::windowFont(27.75));
    QPalette red = m_label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_label2->setPalette(red);

    connect(command2, &QPushButton::clicked, &splitter, &Splitter::pressBrowse);
    connect(command3, &QPushButton::clicked, &splitter, &Splitter::pressCountFiles);
    connect(command1, &QPushButton::clicked, &splitter, &Splitter::pressMakeFolders);
    connect(drive1, &platform::DriveList::driveChosen, m_dir1, &platform::FolderList::setPath);
    connect(m_dir1, &platform::FolderList::pathChanged, &splitter, &Splitter::setFolderListPath);
    connect(m_text1, &QLineEdit::textEdited, &splitter, &Splitter::setMasterFolder);
    connect(m_text2, &QLineEdit::textEdited, &splitter, &Splitter::setFileCount);
    connect(m_text3, &QLineEdit::textEdited, &splitter, &Splitter::setFilesPerFolder);
    connect(m_text4, &QLineEdit::textEdited, &splitter, &Splitter::setFolderEstimate);
    connect(&splitter, &Splitter::changed, this, &SplitterWindow::scheduleRefresh);
    connect(&splitter, &Splitter::closeRequested, this, &QWidget::close);
    connect(&splitter, &QObject::destroyed, this, &QWidget::close);
    refresh();
}

void SplitterWindow::scheduleRefresh() {
    if (!m_refreshScheduled) {
        m_refreshScheduled = true;
        QTimer::singleShot(0, this, &SplitterWindow::refresh);
    }
}

void SplitterWindow::refresh() {
    m_refreshScheduled = false;
    if (!m_splitter) {
        return;
    }
    auto show = [](auto* widget, const QString& text) {
        if (widget->text() != text) {
            widget->setText(text);
        }
    };
    show(m_text1, m_splitter->masterFolder());
    show(m_text2, m_splitter->fileCount());
    show(m_text3, m_splitter->filesPerFolder());
    show(m_text4, m_splitter->folderEstimate());
    show(m_label2, m_splitter->progress());
    if (m_dir1->path() != m_splitter->folderListPath()) {
        m_dir1->setPath(m_splitter->folderListPath());
    }
    for (const auto& [control, widget] : m_controls) {
        widget->setVisible(m_splitter->isShown(control));
    }
}

void SplitterWindow::closeEvent(QCloseEvent* event) {
    if (m_splitter) {
        m_splitter->shutDown();
    }
    event->accept();
}

} // namespace vt::splitter
