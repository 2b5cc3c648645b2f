#include "article/Form9.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "article/ArticleFill.h"
#include "article/ArticleSources.h"
#include "article/ArticleTemplates.h"
#include "platform/ScreenFit.h"
#include "platform/Dialogs.h"
#include "platform/DriveList.h"
#include "platform/FolderList.h"
#include "platform/Twips.h"
#include "workflow/BoxText.h"
#include "workflow/WindowFonts.h"
#include "workflow/Workflow.h"

namespace vt::article {
namespace {

using platform::twips;

const QString Caption = QStringLiteral("Make Article");
const QString ChooseFolderText = QStringLiteral("Select the folder in which your articles are contained");
const QString ConfirmFolderText = QStringLiteral("Click when you have chosen your folder");
const QString LoadFolderQuestion =
    QStringLiteral("Do you want to make an article from each of the files in the folder?");

template <typename Widget> Widget* place(Widget* widget, const char* name, QRect geometry, bool shown) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    widget->setVisible(shown);
    return widget;
}

} // namespace

Form9::Form9(workflow::Workflow& workflow, platform::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_workflow(workflow)
    , m_dialogs(dialogs)
    , m_workArea(ShortArticleTemplate()) {
    setObjectName(QStringLiteral("Form9"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);
    setFont(workflow::windowFont());
    platform::PlaceOnScreen(this, platform::twipsSize(9735, 8325));
    buildControls();
    bindControls();
}

void Form9::buildControls() {
    place(new QLabel(ChooseFolderText, this), "Label1", twips(120, 240, 5415, 255), true);
    m_text2 = place(new QLineEdit(this), "Text2", twips(120, 480, 8775, 375), true);
    m_command2 =
        place(new QPushButton(QStringLiteral("..."), this), "Command2", twips(9000, 480, 615, 375), true);
    m_command4 =
        place(new QPushButton(QStringLiteral("step1"), this), "Command4", twips(3000, 840, 1695, 495), true);
    // step2 is never shown: only the confirm button presses it.
    m_command1 =
        place(new QPushButton(QStringLiteral("step2"), this), "Command1", twips(4680, 840, 2055, 495), false);
    // step3 has no action.
    place(new QPushButton(QStringLiteral("step3"), this), "Command5", twips(6720, 840, 1815, 495), true);
    m_drive1 = place(new platform::DriveList(this), "Drive1", twips(120, 1320, 3735, 360), false);
    m_command3 =
        place(new QPushButton(ConfirmFolderText, this), "Command3", twips(3960, 1320, 4935, 495), false);
    m_dir1 = place(new platform::FolderList(this), "Dir1", twips(120, 1680, 3735, 6300), false);
    // The work area shares its place with the folder lists and stays hidden.
    m_text1 = place(new QPlainTextEdit(workflow::toBoxText(m_workArea), this), "Text1",
                    twips(120, 2040, 9495, 6135), false);
    m_text1->setTabChangesFocus(true);
}

void Form9::bindControls() {
    connect(m_command2, &QPushButton::clicked, this, &Form9::showFolderLists);
    connect(m_drive1, &platform::DriveList::driveChosen, m_dir1, &platform::FolderList::setPath);
    connect(m_dir1, &platform::FolderList::pathChanged, m_text2, &QLineEdit::setText);
    connect(m_command3, &QPushButton::clicked, this, &Form9::confirmFolder);
    connect(m_command4, &QPushButton::clicked, this, &Form9::loadSources);
    connect(m_command1, &QPushButton::clicked, this, &Form9::fillArticle);
    connect(m_text1, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showingWorkArea) {
            m_workArea = workflow::fromBoxText(m_text1->toPlainText());
        }
    });
}

void Form9::showFolderLists() {
    m_drive1->show();
    m_dir1->show();
    m_command3->show();
    m_text1->hide();
}

// The work area is not shown again here: it stays hidden whatever the answer.
void Form9::confirmFolder() {
    m_drive1->hide();
    m_dir1->hide();
    m_command3->hide();
    m_command1->click();
    const platform::Answer answer =
        m_dialogs.message(LoadFolderQuestion, platform::MessageButtons::YesNo, platform::MessageIcon::None);
    if (answer == platform::Answer::Yes) {
        m_command4->click();
    }
}

// Each file's text replaces the previous one in the work area; the hidden box is brought up to
// date once, at the end. The load does not yield, so the folder box cannot change meanwhile and
// is read once. A file that cannot be read is passed over, as is a folder that cannot be listed.
void Form9::loadSources() {
    const Result<SourcesLoaded> loaded =
        LoadArticleSources(m_text2->text(), [this](QString text) { m_workArea = std::move(text); });
    if (loaded && loaded.value().read > 0) {
        showWorkArea();
    }
}

// The fill takes its values from the work area and leaves it, and the folder box, unchanged.
void Form9::fillArticle() {
    FilledArticle filled = FillArticle(m_workArea, m_workflow.templateText(workflow::TemplateText::Page),
                                       m_workflow.templateText(workflow::TemplateText::AdBlock));
    m_workflow.setTemplateText(workflow::TemplateText::Page, filled.page);
    m_workflow.setCurrentProgramName(filled.programName);
}

void Form9::showWorkArea() {
    m_showingWorkArea = true;
    m_text1->setPlainText(workflow::toBoxText(m_workArea));
    m_showingWorkArea = false;
}

} // namespace vt::article
