#include "workflow/Form1.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QProgressBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>

#include "platform/Browser.h"
#include "platform/ScreenFit.h"
#include "platform/Twips.h"
#include "workflow/BoxText.h"
#include "workflow/WindowFonts.h"

namespace vt::workflow {
namespace {

using platform::twips;

const QString Caption = QStringLiteral("Vellumtide");
const QColor LightYellow(255, 255, 128);

QPushButton* button(const QString& caption) {
    return new QPushButton(caption);
}
QLabel* label(const QString& caption) {
    return new QLabel(caption);
}
QCheckBox* checkBox(const QString& caption) {
    return new QCheckBox(caption);
}

void paintText(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

} // namespace

Form1::Form1(Workflow& workflow, const platform::Browser& browser, QWidget* parent)
    : QMainWindow(parent)
    , m_workflow(workflow)
    , m_browser(browser) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption);
    setFont(windowFont());
    buildMenu();
    buildStatusBar();
    buildControls();
    bindControls();
    refresh();
}

template <typename Widget>
Widget* Form1::place(Widget* widget, Control control, const char* name, QRect geometry) {
    widget->setParent(m_client);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    m_controls[control] = widget;
    return widget;
}

void Form1::buildControls() {
    // The controls keep their places; the window opens at this size where the screen holds it and
    // can be made smaller or larger, scrolling its controls when they do not fit.
    m_client = new QWidget;
    const QSize clientSize = platform::twipsSize(13965, 8775);
    m_client->setFixedSize(clientSize);
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(m_client);
    setCentralWidget(scroll);

    auto* command4 = place(button(QStringLiteral("Step 1: Import list of PAD files")), Control::Command4,
                           "Command4", twips(120, 0, 3735, 375));
    auto* command7 = place(button(QStringLiteral("Step 2: Choose folder for storage")), Control::Command7,
                           "Command7", twips(3960, 0, 3735, 375));
    place(label(QStringLiteral("Start from record no:")), Control::Label3, "Label3",
          twips(11640, 0, 2175, 255));
    place(label(QStringLiteral("(use this if the program is interrupted)")), Control::Label4, "Label4",
          twips(9960, 240, 3855, 255));
    m_text2 = place(new QLineEdit, Control::Text2, "Text2", twips(120, 480, 9735, 360));
    m_text3 = place(new QLineEdit, Control::Text3, "Text3", twips(12480, 480, 1335, 375));
    auto* command2 = place(button(QStringLiteral("Step 3: Load PAD file")), Control::Command2, "Command2",
                           twips(120, 960, 3735, 375));
    auto* command1 = place(button(QStringLiteral("Step 4: Grab Text")), Control::Command1, "Command1",
                           twips(3960, 960, 3735, 375));
    place(label(QStringLiteral("Where are the text files?")), Control::Label6, "Label6",
          twips(120, 960, 5415, 255));
    m_text5 = place(new QLineEdit, Control::Text5, "Text5", twips(120, 1200, 8775, 360));
    paintText(m_text5, QPalette::Base, LightYellow);
    auto* command11 =
        place(button(QStringLiteral("...")), Control::Command11, "Command11", twips(9000, 1200, 855, 375));
    place(label(QStringLiteral("Range = 0 to ")), Control::Label5, "Label5", twips(12360, 1200, 1335, 255));
    auto* command3 = place(button(QStringLiteral("Step 5: Append")), Control::Command3, "Command3",
                           twips(240, 1440, 3735, 375));
    auto* command5 = place(button(QStringLiteral("Step 6: Make Web Page")), Control::Command5, "Command5",
                           twips(3960, 1440, 3735, 375));
    auto* command8 = place(button(QStringLiteral("Make txt")), Control::Command8, "Command8",
                           twips(7800, 1440, 1095, 375));
    m_text4 = place(new QLineEdit, Control::Text4, "Text4", twips(12480, 1440, 1335, 375));
    m_command6 = place(button(QString()), Control::Command6, "Command6", twips(120, 1920, 7575, 375));
    auto* command12 = place(button(QStringLiteral("Make Web Pages and Sort by Category")), Control::Command12,
                            "Command12", twips(8400, 1920, 5415, 375));
    m_check1 = place(checkBox(QStringLiteral("Just store PAD files as text files")), Control::Check1,
                     "Check1", twips(120, 2400, 3975, 255));
    m_check2 = place(checkBox(QStringLiteral("Make web pages from PAD text files")), Control::Check2,
                     "Check2", twips(4200, 2400, 7455, 255));
    m_check3 = place(checkBox(QStringLiteral("Convert text files to html files and put in category")),
                     Control::Check3, "Check3", twips(8400, 2400, 5415, 255));
    m_webBrowser1 =
        place(new QPlainTextEdit, Control::WebBrowser1, "WebBrowser1", twips(120, 2640, 13695, 4335));
    m_webBrowser1->setReadOnly(true);
    // Tab moves the focus on from the multi-line boxes, as from every other control.
    m_webBrowser1->setTabChangesFocus(true);
    m_text1 = place(new QPlainTextEdit, Control::Text1, "Text1", twips(120, 4680, 13695, 3375));
    m_text1->setTabChangesFocus(true);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_combo1 = place(new QComboBox, Control::Combo1, "Combo1", twips(240, 5400, 11415, 360));
    m_combo1->setEditable(true);
    m_combo1->setEditText(QStringLiteral("Drop down to view"));
    m_label2 = place(label(QString()), Control::Label2, "Label2", twips(120, 8160, 1215, 495));
    m_label2->setFont(windowFont(12, true));
    paintText(m_label2, QPalette::WindowText, Qt::red);
    m_label7 = place(label(QString()), Control::Label7, "Label7", twips(1800, 8160, 1335, 615));
    m_label7->setFont(windowFont(20.25, true));
    paintText(m_label7, QPalette::WindowText, Qt::red);

    const QList<QWidget*> tabOrder = {command1, m_webBrowser1, command2,   command3,  m_text1,
                                      command4, command5,      m_command6, command7,  m_text2,
                                      m_combo1, m_text3,       m_text4,    m_check1,  command8,
                                      m_text5,  m_check2,      command11,  command12, m_check3};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    }
    platform::PlaceOnScreen(
        this, clientSize + QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height()));
}

// The progress of a run: the records behind, of how many.
void Form1::tickTheme(ThemeEntry entry) {
    m_themeEntries.at(entry)->setChecked(true);
}

void Form1::buildStatusBar() {
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_progress->setFormat(QStringLiteral("%v of %m"));
    m_progress->setRange(0, 0);
    m_progress->hide();
    statusBar()->addPermanentWidget(m_progress, 1);
}

void Form1::buildMenu() {
    // A switch of the workflow's, ticked as it stands.
    const auto addSwitch = [this](QMenu* menu, const QString& text, const QString& name, bool on,
                                  void (Workflow::*set)(bool)) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(on);
        connect(action, &QAction::toggled, &m_workflow, set);
    };
    QMenu* templates = menuBar()->addMenu(QStringLiteral("&Show Templates"));
    templates->setObjectName(QStringLiteral("Show_Templates"));
    QAction* page = templates->addAction(QStringLiteral("View Web Page Template"));
    page->setObjectName(QStringLiteral("View_Web_Page_Template"));
    QAction* backup = templates->addAction(QStringLiteral("View Web Page Backup"));
    backup->setObjectName(QStringLiteral("View_Web_Page_Backup"));
    templates->addSeparator();
    addSwitch(templates, QStringLiteral("Escape Markup in PAD Values"), QStringLiteral("Escape_Markup"),
              m_workflow.escapesMarkup(), &Workflow::setEscapeMarkup);
    templates->addSeparator();
    QAction* chooseIndexTemplate = templates->addAction(QStringLiteral("Choose Index Template..."));
    chooseIndexTemplate->setObjectName(QStringLiteral("Choose_Index_Template"));
    connect(chooseIndexTemplate, &QAction::triggered, this, &Form1::indexTemplateChoiceRequested);
    QAction* defaultIndexTemplate = templates->addAction(QStringLiteral("Use Default Index Template"));
    defaultIndexTemplate->setObjectName(QStringLiteral("Default_Index_Template"));
    connect(defaultIndexTemplate, &QAction::triggered, this, &Form1::defaultIndexTemplateRequested);
    QAction* adBlock = menuBar()->addAction(QStringLiteral("Show Google &Adsense Code"));
    adBlock->setObjectName(QStringLiteral("Google_Adsense_Code"));
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options"));
    addSwitch(options, QStringLiteral("Allow Local Files in the URL List"),
              QStringLiteral("Allow_Local_Files"), m_workflow.allowsLocalFiles(),
              &Workflow::setAllowLocalFiles);
    addSwitch(options, QStringLiteral("Fetch Only Changed PAD Files"), QStringLiteral("Fetch_Only_Changed"),
              m_workflow.fetchesOnlyChanged(), &Workflow::setFetchOnlyChanged);
    QAction* noDataWait = options->addAction(QStringLiteral("Wait for a Silent Server..."));
    noDataWait->setObjectName(QStringLiteral("No_Data_Wait"));
    connect(noDataWait, &QAction::triggered, this, &Form1::noDataWaitRequested);
    // The registry ticks the theme it keeps, which may not be the one clicked (a folder that is no theme).
    QMenu* theme = options->addMenu(QStringLiteral("&Theme"));
    theme->setObjectName(QStringLiteral("Theme"));
    auto* themes = new QActionGroup(theme);
    for (const auto& [entry, text, name] :
         {std::tuple{ThemeEntry::Classic, "&Classic", "Theme_Classic"},
          std::tuple{ThemeEntry::Modern, "&Modern", "Theme_Modern"},
          std::tuple{ThemeEntry::Folder, "Theme &Folder...", "Theme_Folder"}}) {
        QAction* action = theme->addAction(QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        themes->addAction(action);
        m_themeEntries[entry] = action;
        connect(action, &QAction::triggered, this, [this, entry = entry] { emit themeRequested(entry); });
    }
    QAction* checkPadFiles = menuBar()->addAction(QStringLiteral("&Check PAD Files"));
    checkPadFiles->setObjectName(QStringLiteral("Check_PAD_Files"));
    connect(checkPadFiles, &QAction::triggered, this, &Form1::padCheckRequested);
    QAction* makeIndexPages = menuBar()->addAction(QStringLiteral("Make &Index Pages"));
    makeIndexPages->setObjectName(QStringLiteral("Make_Index_Pages"));
    connect(makeIndexPages, &QAction::triggered, this, &Form1::indexPagesRequested);
    // The article maker's entry is hidden and disabled unless the program is started to offer it.
    m_makeArticle = menuBar()->addAction(QStringLiteral("Make A&rticle"));
    m_makeArticle->setObjectName(QStringLiteral("Make_Article"));
    m_makeArticle->setVisible(false);
    m_makeArticle->setEnabled(false);
    connect(m_makeArticle, &QAction::triggered, this, &Form1::articleMakerRequested);
    // Stop ends the run going on between two records; it is there only while one runs.
    m_stop = menuBar()->addAction(QStringLiteral("Sto&p"));
    m_stop->setObjectName(QStringLiteral("Stop"));
    m_stop->setShortcut(QKeySequence(Qt::Key_Escape));
    m_stop->setEnabled(false);
    connect(m_stop, &QAction::triggered, &m_workflow, &Workflow::requestStop);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    QAction* about = help->addAction(QStringLiteral("About Vellumtide"));
    about->setObjectName(QStringLiteral("About_Vellumtide"));
    connect(about, &QAction::triggered, this, &Form1::aboutRequested);

    connect(page, &QAction::triggered, this, [this] { emit templateWindowRequested(TemplateText::Page); });
    connect(backup, &QAction::triggered, this,
            [this] { emit templateWindowRequested(TemplateText::Backup); });
    connect(adBlock, &QAction::triggered, this,
            [this] { emit templateWindowRequested(TemplateText::AdBlock); });
}

void Form1::bindControls() {
    auto press = [this](Control control, auto action) {
        connect(static_cast<QPushButton*>(m_controls.at(control)), &QPushButton::clicked, this, action);
    };
    press(Control::Command4, [this] { m_workflow.pressStep1(); });
    press(Control::Command7, [this] { emit storageFolderChooserRequested(); });
    press(Control::Command11, [this] { emit padTextFolderChooserRequested(); });
    press(Control::Command2, [this] { static_cast<void>(m_workflow.pressStep3()); });
    press(Control::Command1, [this] { static_cast<void>(m_workflow.pressStep4()); });
    press(Control::Command3, [this] { static_cast<void>(m_workflow.pressStep5()); });
    press(Control::Command5, [this] { static_cast<void>(m_workflow.pressStep6()); });
    press(Control::Command8, [this] { static_cast<void>(m_workflow.pressMakeTxt()); });
    press(Control::Command6, [this] { m_workflow.pressCommand6(); });
    press(Control::Command12, [this] { emit categoryCommandRequested(); });

    connect(m_check1, &QCheckBox::clicked, this,
            [this](bool ticked) { m_workflow.setCheck1(ticked ? 1 : 0); });
    connect(m_check2, &QCheckBox::clicked, this,
            [this](bool ticked) { m_workflow.setCheck2(ticked ? 1 : 0); });
    connect(m_check3, &QCheckBox::clicked, this,
            [this](bool ticked) { m_workflow.setCheck3(ticked ? 1 : 0); });
    connect(m_text2, &QLineEdit::textEdited, &m_workflow, &Workflow::setStorageFolder);
    connect(m_text3, &QLineEdit::textEdited, &m_workflow, &Workflow::setStartRecord);
    connect(m_text4, &QLineEdit::textEdited, &m_workflow, &Workflow::setRangeEnd);
    connect(m_text5, &QLineEdit::textEdited, &m_workflow, &Workflow::setPadTextFolder);
    connect(m_text1, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_refreshing) {
            m_workflow.setPadText(fromBoxText(m_text1->toPlainText()));
        }
    });
    connect(&m_workflow, &Workflow::changed, this, &Form1::scheduleRefresh);
    connect(&m_workflow, &Workflow::batchProgress, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
}

// The model changes many times within one step; the window shows the state once per turn of
// the event loop, which a long action's yield gives it.
void Form1::scheduleRefresh() {
    if (!m_refreshScheduled) {
        m_refreshScheduled = true;
        QTimer::singleShot(0, this, &Form1::refresh);
    }
}

void Form1::refresh() {
    m_refreshScheduled = false;
    m_refreshing = true;
    auto show = [](auto* widget, const QString& text) {
        if (widget->text() != text) {
            widget->setText(text);
        }
    };
    show(m_text2, m_workflow.storageFolder());
    show(m_text3, m_workflow.startRecord());
    show(m_text4, m_workflow.rangeEnd());
    show(m_text5, m_workflow.padTextFolder());
    show(m_label2, m_workflow.recordCounter());
    show(m_label7, m_workflow.categoryProgress());
    show(m_command6, m_workflow.batchCaption());
    const QString padText = toBoxText(m_workflow.padText());
    if (m_text1->toPlainText() != padText) {
        m_text1->setPlainText(padText);
    }
    const QString page = toBoxText(m_browser.bodyText());
    if (m_webBrowser1->toPlainText() != page) {
        m_webBrowser1->setPlainText(page);
    }
    if (m_comboEntries != m_workflow.urlList()) {
        m_comboEntries = m_workflow.urlList();
        m_combo1->clear();
        m_combo1->addItems(m_comboEntries);
        m_combo1->setEditText(QStringLiteral("Drop down to view"));
    }
    m_check1->setChecked(m_workflow.check1() == 1);
    m_check2->setChecked(m_workflow.check2() == 1);
    m_check3->setChecked(m_workflow.check3() == 1);
    for (const auto& [control, widget] : m_controls) {
        widget->setVisible(m_workflow.isShown(control));
        widget->setEnabled(m_workflow.isEnabled(control));
    }
    m_stop->setEnabled(m_workflow.isRunning());
    m_progress->setVisible(m_workflow.isRunning() && m_progress->maximum() > 0);
    if (!m_workflow.isRunning()) {
        m_progress->setRange(0, 0);
    }
    m_refreshing = false;
}

void Form1::offerArticleMaker() {
    m_makeArticle->setVisible(true);
    m_makeArticle->setEnabled(true);
}

void Form1::closeEvent(QCloseEvent* event) {
    m_workflow.shutDown();
    emit closing();
    event->accept();
}

} // namespace vt::workflow
