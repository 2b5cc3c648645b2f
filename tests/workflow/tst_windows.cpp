// The windows over the model: what each control shows and what pressing it reaches. What the
// model then does is tst_workflow's, tst_batch's and tst_category's.
#include <QAbstractButton>
#include <QAction>
#include <QProgressBar>
#include <QScreen>
#include <QStandardPaths>

#include "../support/TestFiles.h"
#include "../support/WindowProgram.h"
#include "pagegen/TemplateDefaults.h"
#include "platform/FolderList.h"
#include "platform/Settings.h"
#include "workflow/FolderChooser.h"
#include "workflow/Workflow.h"

using namespace vt::workflow;
using vt::app::WindowId;
using namespace Qt::StringLiterals;

namespace {

// The window program as it starts, with scripted dialogs and browser.
struct Program : vt::testing::WindowProgram {
    QTemporaryDir temp;
    QString texts = temp.filePath(u"texts"_s);

    explicit Program(bool offerArticleMaker = false) {
        QDir(temp.path()).mkdir(u"texts"_s);
        windows.start(offerArticleMaker);
    }
    QWidget* form1() const { return windows.window(WindowId::Form1); }
    QWidget* control(const char* name) const { return form1()->findChild<QWidget*>(QLatin1String(name)); }
    QAction* action(const char* name) const { return form1()->findChild<QAction*>(QLatin1String(name)); }
    bool shown(const char* name) const { return !control(name)->isHidden(); }
    // What a label, a box or a button of a window shows.
    QString text(const char* name, WindowId id = WindowId::Form1) const {
        const QWidget* widget = windows.window(id)->findChild<QWidget*>(QLatin1String(name));
        return widget->property(widget->inherits("QPlainTextEdit") ? "plainText" : "text").toString();
    }
    // A press from code, which works on a hidden button too.
    void click(const char* name) const { static_cast<QAbstractButton*>(control(name))->click(); }
    // PAD texts 0.txt, 1.txt, ... in the texts folder: the programs T0, T1, ... in the category Games.
    void writeTexts(int count) const {
        for (int i = 0; i < count; ++i) {
            vt::testing::writeBytes(
                texts + u"/%1.txt"_s.arg(i),
                "<Program_Name>T" + QByteArray::number(i) +
                    "</Program_Name><Program_Specific_Category>Games</Program_Specific_Category>");
        }
    }
};

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The window shows the model's start state and its changes; clicks on the mode boxes reach
    // the model (what they then do is tst_workflow's). The template windows are loaded, hidden,
    // with their default texts.
    void startUpStateAndModeBoxes() {
        Program p;
        QCOMPARE(QStringList({p.form1()->windowTitle(), p.text("Text3")}),
                 QStringList({u"Vellumtide"_s, u"0"_s}));
        QVERIFY(!p.shown("Text5") && !p.shown("Check3") && p.shown("Command12") && p.shown("WebBrowser1"));
        QVERIFY(p.windows.window(WindowId::Form7)->isHidden());
        QCOMPARE(p.text("Text1", WindowId::Form7),
                 QString(vt::pagegen::DefaultAdBlock()).replace(u"\r\n"_s, u"\n"_s));
        QVERIFY(!p.action("Make_Article")->isVisible() && !p.action("Make_Article")->isEnabled());
        p.click("Check2");
        QTRY_COMPARE(p.text("Command6"), u"Make web pages from PAD text files"_s);
        QVERIFY(p.workflow.check2() == 1 && p.shown("Text5"));
        p.click("Check1");
        QTRY_VERIFY(p.workflow.check1() == 1 && !p.control("Check2")->property("checked").toBool() &&
                    !p.control("Command3")->isEnabled());
    }

    // Steps 5 and 6 pressed from code while hidden, after typing into the boxes; then the batch,
    // whose record counter the window shows as it runs.
    void stepsAndBatchFromTheWindow() {
        Program p;
        QTest::keyClicks(p.control("Text2"), p.temp.path());
        QTest::keyClicks(p.control("Text4"), u"5"_s); // after the 0 shown
        QCOMPARE(QStringList({p.workflow.storageFolder(), p.workflow.rangeEnd()}),
                 QStringList({p.temp.path(), u"05"_s}));
        p.workflow.setPadText(u"<Program_Name>Foo Editor</Program_Name>"_s);
        p.click("Command3");
        p.click("Command5");
        QTRY_VERIFY(p.text("Text1").endsWith(u"Foo Editor.html"_s));
        QTRY_COMPARE(p.text("Label2"), u"1"_s);

        p.writeTexts(3);
        p.click("Check2");
        p.workflow.choosePadTextFolder(p.texts);
        QStringList shown; // what the counter showed whenever the model changed
        QObject::connect(&p.workflow, &Workflow::changed, [&] { shown += p.text("Label2"); });
        QTest::mouseClick(p.control("Command6"), Qt::LeftButton);
        QVERIFY(QFile::exists(p.temp.filePath(u"T2.html"_s)));
        QVERIFY2(shown.contains(u"0"_s), qPrintable(shown.join(u','))); // not only at the end
        QTRY_COMPARE(p.text("Label2"), u"2"_s);
    }

    // The folder choosers, the article maker and a template window: each is made once, and
    // closing the main window closes them all. A template window closed loses its edits.
    void choosersArticleMakerAndCloseOrder() {
        Program p(true);
        p.writeTexts(3);
        p.click("Command7");
        auto* form6 = static_cast<FolderChooser*>(p.windows.window(WindowId::Form6));
        p.click("Command7");
        QCOMPARE(p.windows.window(WindowId::Form6), form6);
        QCOMPARE(form6->windowTitle(), u"Folder Location"_s);
        form6->folderList()->setPath(p.texts);
        QCOMPARE(p.text("Text1", WindowId::Form6), p.texts);
        QCOMPARE(vt::platform::ReadSetting(u"ZRA"_s, u"ZRA"_s, u"ZRA"_s), p.texts);
        QTRY_COMPARE(p.text("Text2"), p.texts);

        p.workflow.setCheck2(1);
        p.click("Command11");
        auto* form8 = static_cast<FolderChooser*>(p.windows.window(WindowId::Form8));
        QCOMPARE(form8->windowTitle(), u"Where are the text files?"_s);
        form8->folderList()->setPath(p.texts);
        QTRY_COMPARE(QStringList({p.text("Text5"), p.text("Text4")}), QStringList({p.texts, u"2"_s}));

        QVERIFY(p.action("Make_Article")->isVisible() && p.action("Make_Article")->isEnabled());
        p.action("Make_Article")->trigger();
        QVERIFY(p.windows.window(WindowId::Form9)->isVisible());
        QCOMPARE(p.windows.window(WindowId::Form9)->windowTitle(), u"Make Article"_s);
        p.action("Google_Adsense_Code")->trigger();
        QWidget* text1 = p.windows.window(WindowId::Form7)->findChild<QWidget*>(u"Text1"_s);
        QVERIFY(text1->isVisible() && text1->isEnabled());
        text1->setProperty("plainText", u"<ad>\n</ad>"_s);
        QCOMPARE(p.workflow.templateText(TemplateText::AdBlock), u"<ad>\r\n</ad>"_s);
        p.form1()->close();
        QVERIFY(p.workflow.isShutDown());
        QCOMPARE(p.workflow.templateText(TemplateText::AdBlock), vt::pagegen::DefaultAdBlock());
        for (const WindowId id : {WindowId::Form1, WindowId::Form3, WindowId::Form5, WindowId::Form6,
                                  WindowId::Form7, WindowId::Form8, WindowId::Form9}) {
            QTRY_VERIFY(!p.windows.window(id));
        }
    }

    // From the keyboard, Tab leaves a multi-line box as it leaves every other control; the main
    // window can be made smaller than it opens, its controls keeping their places; a minimised
    // template window comes back from its menu entry; the menu allows local files in URL lists; the
    // About box names the version of the project.
    void keyboardSizeAndMenus() {
        Program p;
        QVERIFY(QTest::qWaitForWindowActive(p.form1()));
        QWidget* text1 = p.control("Text1");
        text1->setFocus();
        QTest::keyClick(text1, Qt::Key_Tab);
        QVERIFY(!text1->hasFocus() && p.text("Text1").isEmpty());

        const QRect button = p.control("Command6")->geometry();
        p.form1()->resize(400, 300);
        QCOMPARE(p.form1()->size(), QSize(400, 300));
        QCOMPARE(p.control("Command6")->geometry(), button);

        p.action("View_Web_Page_Template")->trigger();
        QWidget* form3 = p.windows.window(WindowId::Form3);
        form3->setWindowState(Qt::WindowMinimized);
        p.action("View_Web_Page_Template")->trigger();
        QVERIFY(form3->isVisible() && !(form3->windowState() & Qt::WindowMinimized));

        QVERIFY(!p.workflow.allowsLocalFiles());
        p.action("Allow_Local_Files")->trigger();
        QVERIFY(p.workflow.allowsLocalFiles());
        QVERIFY(!p.workflow.escapesMarkup());
        p.action("Escape_Markup")->trigger();
        QVERIFY(p.workflow.escapesMarkup());
        // The wait for a silent server: a typed number out of range is refused, one in range kept.
        p.dialogs.typed = QStringList{u"0"_s, u" 5 "_s};
        p.action("No_Data_Wait")->trigger();
        QVERIFY(
            p.dialogs.texts().last().startsWith(u"\"0\" is not a whole number of seconds from 1 to 3600"_s));
        p.action("No_Data_Wait")->trigger();
        QCOMPARE(p.workflow.noDataWait(), 5);
        QCOMPARE(Program().workflow.noDataWait(), 5); // remembered for the next start
        vt::platform::SaveSetting(u"Vellumtide"_s, u"Options"_s, u"No-Data Wait"_s, QString());
        p.dialogs.shown.clear();

        p.action("About_Vellumtide")->trigger();
        QCOMPARE(p.dialogs.shown.size(), std::size_t(1));
        QVERIFY(p.dialogs.texts().first().startsWith(u"Vellumtide " VELLUMTIDE_VERSION "\r\n"_s));
    }

    // Esc stops a run between two records, with the records behind shown as it goes; the end
    // message says how far it got. Every window opens within the screen's free area, the folder
    // choosers too, and Esc closes them.
    void stopProgressAndPlacement() {
        Program p;
        QVERIFY(QTest::qWaitForWindowActive(p.form1()));
        p.writeTexts(6);
        p.workflow.setStorageFolder(p.temp.path());
        p.click("Check2");
        p.workflow.choosePadTextFolder(p.texts);
        QString progress;
        QObject::connect(&p.workflow, &Workflow::batchProgress, p.form1(), [&](int done) {
            if (done == 2 && progress.isEmpty()) {
                progress = p.form1()->findChild<QProgressBar*>(u"Progress"_s)->text();
                QVERIFY(p.action("Stop")->isEnabled());
                QTest::keyClick(p.form1(), Qt::Key_Escape);
            }
        });
        p.click("Command6");
        QCOMPARE(progress, u"2 of 6"_s);
        QCOMPARE(QDir(p.temp.path()).entryList({u"*.html"_s}), (QStringList{u"T0.html"_s, u"T1.html"_s}));
        QVERIFY2(p.dialogs.texts().last().startsWith(
                     u"Stopped after 2 of 6 records; every file written up to then is whole.\r\n\r\n"
                     "2 written, 0 unchanged, 0 failed."_s),
                 qPrintable(p.dialogs.texts().last()));
        QTRY_VERIFY(!p.action("Stop")->isEnabled());
        p.click("Command6"); // a new run is not stopped by the last one's Stop
        QVERIFY(QFile::exists(p.temp.filePath(u"T5.html"_s)));

        p.click("Command7");
        p.click("Command11");
        const QRect screen = p.form1()->screen()->availableGeometry();
        for (const WindowId id : {WindowId::Form1, WindowId::Form6, WindowId::Form8}) {
            const QWidget* window = p.windows.window(id);
            QVERIFY2(screen.contains(window->frameGeometry()) && window->pos() != QPoint(0, 0),
                     qPrintable(window->objectName()));
        }
        for (const WindowId id : {WindowId::Form6, WindowId::Form8}) {
            QWidget* window = p.windows.window(id);
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClick(window, Qt::Key_Escape);
            QTRY_VERIFY(!p.windows.window(id));
        }
    }

    // "Make Category Folders" runs the category sorting with the splitter window up while it
    // asks, and closes that window when done.
    void sortingByCategoryFromTheWindow() {
        Program p;
        p.writeTexts(2);
        p.workflow.setPadTextFolder(p.texts);
        bool splitterShown = false;
        p.dialogs.onMessage = [&] {
            const QWidget* splitter = p.windows.window(WindowId::Splitter);
            splitterShown = splitterShown || (splitter && splitter->isVisible());
        };
        p.click("Command12");
        QVERIFY(splitterShown);
        QCOMPARE(vt::testing::filesBelow(p.texts + u"/Category"_s),
                 (QStringList{u"Games/T0.html"_s, u"Games/T1.html"_s}));
        QTRY_VERIFY(!p.windows.window(WindowId::Splitter));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
