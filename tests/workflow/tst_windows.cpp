#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "../support/ScriptedBrowser.h"
#include "../support/ScriptedDialogs.h"
#include "app/WindowRegistry.h"
#include "category/CategorySorting.h"
#include "files/TextFile.h"
#include "pagegen/TemplateDefaults.h"
#include "pagegen/TemplateFill.h"
#include "platform/FolderList.h"
#include "platform/Settings.h"
#include "workflow/FolderChooser.h"
#include "workflow/Workflow.h"

using namespace vt::workflow;
using vt::app::WindowId;
using namespace Qt::StringLiterals;

namespace {

// The window program as it starts, with scripted dialogs and browser.
struct Program {
    vt::testing::ScriptedDialogs dialogs;
    vt::testing::ScriptedBrowser browser;
    vt::platform::Yield yield = [] {
        QCoreApplication::processEvents();
    };
    Workflow workflow{dialogs, browser, yield};
    vt::category::CategorySorting sorting{workflow, dialogs, yield};
    vt::app::WindowRegistry windows{workflow, browser, dialogs, sorting};

    explicit Program(bool offerArticleMaker = false) { windows.start(offerArticleMaker); }
    QWidget* form1() const { return windows.window(WindowId::Form1); }
    template <typename Widget = QWidget> Widget* control(const char* name) const {
        return form1()->findChild<Widget*>(QString::fromLatin1(name));
    }
    bool shown(const char* name) const { return !control(name)->isHidden(); }
    QString caption(const char* name) const { return control<QAbstractButton>(name)->text(); }
};

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void startUpState() {
        Program p;
        QCOMPARE(p.form1()->windowTitle(), u"Vellumtide"_s);
        QCOMPARE(p.caption("Command6"), u"Make web pages from PAD file URLs"_s);
        QCOMPARE(p.control<QLabel>("Label2")->text(), u"0"_s);
        QCOMPARE(p.control<QLineEdit>("Text3")->text(), u"0"_s);
        QCOMPARE(p.control<QLineEdit>("Text4")->text(), u"0"_s);
        QVERIFY(p.control<QLineEdit>("Text2")->text().isEmpty());
        for (const char* hidden : {"Command1", "Command2", "Command3", "Command5", "Command8", "Text5",
                                   "Label6", "Command11", "Check3", "Combo1"}) {
            QVERIFY2(!p.shown(hidden), hidden);
        }
        for (const char* shown : {"Command4", "Command7", "Command6", "Command12", "Check1", "Check2",
                                  "Text1", "Text2", "Label2", "Label7", "WebBrowser1"}) {
            QVERIFY2(p.shown(shown), shown);
        }
        // The template windows are loaded, hidden, with their default texts.
        for (const WindowId id : {WindowId::Form3, WindowId::Form5, WindowId::Form7}) {
            QVERIFY(p.windows.window(id) && p.windows.window(id)->isHidden());
        }
        QCOMPARE(p.windows.window(WindowId::Form7)->findChild<QPlainTextEdit*>()->toPlainText(),
                 QString(vt::pagegen::DefaultAdBlock()).replace(u"\r\n"_s, u"\n"_s));
    }

    void menuBar() {
        Program p;
        auto* templates = p.form1()->findChild<QMenu*>(u"Show_Templates"_s);
        QVERIFY(templates);
        QCOMPARE(templates->title(), u"Show Templates"_s);
        QCOMPARE(templates->actions().size(), 2);
        QCOMPARE(templates->actions().at(0)->text(), u"View Web Page Template"_s);
        QCOMPARE(templates->actions().at(1)->text(), u"View Web Page Backup"_s);
        auto* adBlock = p.form1()->findChild<QAction*>(u"Google_Adsense_Code"_s);
        QVERIFY(adBlock && adBlock->isVisible());
        QCOMPARE(adBlock->text(), u"Show Google Adsense Code"_s);
        auto* article = p.form1()->findChild<QAction*>(u"Make_Article"_s);
        QVERIFY(article && !article->isVisible() && !article->isEnabled());
    }

    void articleMakerOnlyWhenOffered() {
        Program p(true);
        auto* article = p.form1()->findChild<QAction*>(u"Make_Article"_s);
        QVERIFY(article->isVisible() && article->isEnabled());
        article->trigger();
        QWidget* form9 = p.windows.window(WindowId::Form9);
        QVERIFY(form9 && form9->isVisible());
        QCOMPARE(form9->windowTitle(), u"Make Article"_s);
        p.form1()->close();
        QTRY_VERIFY(!p.windows.window(WindowId::Form9));
    }

    void modeBoxesByClicks() {
        Program p;
        QTest::mouseClick(p.control<QCheckBox>("Check2"), Qt::LeftButton);
        QTRY_COMPARE(p.caption("Command6"), u"Make web pages from PAD text files"_s);
        QVERIFY(p.shown("Text5") && p.shown("Label6") && p.shown("Command11"));

        QTest::mouseClick(p.control<QCheckBox>("Check1"), Qt::LeftButton);
        QTRY_COMPARE(p.caption("Command6"), u"Just store PAD files as text files"_s);
        QVERIFY(!p.control<QCheckBox>("Check2")->isChecked());
        QVERIFY(!p.shown("Text5") && !p.shown("Command11"));
        QVERIFY(!p.control("Command3")->isEnabled() && !p.control("Command5")->isEnabled());

        QTest::mouseClick(p.control<QCheckBox>("Check1"), Qt::LeftButton);
        QTRY_COMPARE(p.caption("Command6"), u"Make web pages from PAD file URLs"_s);
        QVERIFY(p.control("Command3")->isEnabled());
    }

    void stepSixFromCode() {
        Program p;
        p.control<QPushButton>("Command5")->click(); // hidden, pressed from code
        QCOMPARE(
            p.dialogs.texts(),
            QStringList{
                u"You must carry out step 2: and choose a folder in which to store your files first."_s});

        QTemporaryDir storage;
        QTest::keyClicks(p.control<QLineEdit>("Text2"), storage.path());
        p.control<QLineEdit>("Text4")->clear();
        QTest::keyClicks(p.control<QLineEdit>("Text4"), u"5"_s);
        QCOMPARE(p.workflow.rangeEnd(), u"5"_s);
        QCOMPARE(p.workflow.storageFolder(), storage.path());
        p.workflow.setPadText(u"<Program_Name>Foo Editor</Program_Name>"_s);
        p.control<QPushButton>("Command3")->click();
        p.control<QPushButton>("Command5")->click();
        QVERIFY(QFile::exists(storage.filePath(u"Foo Editor.html"_s)));
        QTRY_VERIFY(p.control<QPlainTextEdit>("Text1")->toPlainText().endsWith(u"Foo Editor.html"_s));
        QTRY_COMPARE(p.control<QLabel>("Label2")->text(), u"1"_s);
    }

    void templateWindowEditsAndDiscards() {
        Program p;
        p.form1()->findChild<QAction*>(u"Google_Adsense_Code"_s)->trigger();
        QWidget* form7 = p.windows.window(WindowId::Form7);
        QVERIFY(form7->isVisible());
        auto* text1 = form7->findChild<QPlainTextEdit*>(u"Text1"_s);
        QVERIFY(text1->isEnabled());
        text1->setPlainText(u"<ad>\n</ad>"_s);
        QCOMPARE(p.workflow.templateText(TemplateText::AdBlock), u"<ad>\r\n</ad>"_s);

        form7->close();
        QCOMPARE(p.workflow.templateText(TemplateText::AdBlock), vt::pagegen::DefaultAdBlock());
        QTRY_VERIFY(!p.windows.window(WindowId::Form7));
        p.form1()->findChild<QAction*>(u"Google_Adsense_Code"_s)->trigger();
        QVERIFY(p.windows.window(WindowId::Form7)->isVisible());
    }

    void showingAgainKeepsTheWindow() {
        Program p;
        p.control<QPushButton>("Command7")->click();
        QWidget* form6 = p.windows.window(WindowId::Form6);
        QVERIFY(form6 && form6->isVisible());
        QCOMPARE(form6->windowTitle(), u"Folder Location"_s);
        p.control<QPushButton>("Command7")->click();
        QCOMPARE(p.windows.window(WindowId::Form6), form6);
    }

    void storageFolderChooser() {
        Program p;
        QTemporaryDir folder;
        p.control<QPushButton>("Command7")->click();
        auto* form6 = static_cast<FolderChooser*>(p.windows.window(WindowId::Form6));
        form6->folderList()->setPath(folder.path());
        QCOMPARE(p.workflow.storageFolder(), folder.path());
        QCOMPARE(form6->findChild<QLineEdit*>(u"Text1"_s)->text(), folder.path());
        QCOMPARE(vt::platform::ReadSetting(u"ZRA"_s, u"ZRA"_s, u"ZRA"_s), folder.path());
        QTRY_COMPARE(p.control<QLineEdit>("Text2")->text(), folder.path());
    }

    void padTextFolderChooser() {
        Program p;
        QTemporaryDir folder;
        for (const char* name : {"0.txt", "1.txt", "2.txt"}) {
            writeBytes(folder.filePath(QString::fromLatin1(name)), "x");
        }
        p.workflow.setCheck2(1);
        p.control<QPushButton>("Command11")->click();
        auto* form8 = static_cast<FolderChooser*>(p.windows.window(WindowId::Form8));
        QCOMPARE(form8->windowTitle(), u"Where are the text files?"_s);
        form8->folderList()->setPath(folder.path());
        QTRY_COMPARE(p.control<QLineEdit>("Text5")->text(), folder.path());
        QTRY_COMPARE(p.control<QLineEdit>("Text4")->text(), u"2"_s);
    }

    void batchFromTheWindowCountsUp() {
        Program p;
        QTemporaryDir temp;
        QDir(temp.path()).mkdir(u"texts"_s);
        for (int i = 0; i < 3; ++i) {
            writeBytes(temp.filePath(u"texts/%1.txt"_s.arg(i)),
                       "<Program_Name>T" + QByteArray::number(i) + "</Program_Name>");
        }
        p.workflow.setStorageFolder(temp.path());
        QTest::mouseClick(p.control<QCheckBox>("Check2"), Qt::LeftButton);
        p.workflow.choosePadTextFolder(temp.filePath(u"texts"_s));
        QStringList countedUp;
        QObject::connect(&p.workflow, &Workflow::changed, [&] {
            if (countedUp.isEmpty() || countedUp.last() != p.control<QLabel>("Label2")->text()) {
                countedUp += p.control<QLabel>("Label2")->text();
            }
        });
        QTest::mouseClick(p.control<QPushButton>("Command6"), Qt::LeftButton);
        QVERIFY(QFile::exists(temp.filePath(u"T2.html"_s)));
        QVERIFY2(countedUp.contains(u"1"_s), qPrintable(countedUp.join(u',')));
        QTRY_COMPARE(p.control<QLabel>("Label2")->text(), u"2"_s);
    }

    // The category flow from the window over PAD texts made from the real PAD files: every text
    // with a category and a program name becomes a page in its category's folder.
    void sortingByCategoryFromTheWindow() {
        Program p;
        QTemporaryDir temp;
        const QDir corpus(QStringLiteral(VELLUMTIDE_PAD_CORPUS));
        const QStringList names = corpus.entryList({u"*.xml"_s}, QDir::Files).mid(0, 25);
        QStringList expected;
        for (qsizetype i = 0; i < names.size(); ++i) {
            QFile file(corpus.filePath(names[i]));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            QVERIFY(vt::files::writeTextFile(temp.filePath(u"%1.txt"_s.arg(i)), text).ok());
            const auto filled = vt::pagegen::FillTemplate(text, QString(), QString(), true);
            if (!filled.category->isEmpty() && !filled.programName.isEmpty()) {
                expected += u"Category/"_s + *filled.category + u'/' + filled.programName + u".html"_s;
            }
        }
        p.workflow.setPadTextFolder(temp.path());
        bool splitterShown = false;
        p.dialogs.onMessage = [&] {
            splitterShown = splitterShown || p.windows.window(WindowId::Splitter);
        };
        p.control<QPushButton>("Command12")->click();
        QVERIFY(splitterShown);
        QCOMPARE(p.dialogs.texts().last(), u"finished."_s);
        QVERIFY(expected.size() > 15);
        for (const QString& page : expected) {
            QVERIFY2(QFile::exists(temp.filePath(page)), qPrintable(page));
        }
        QTRY_VERIFY(!p.windows.window(WindowId::Splitter));
    }

    void closingTheMainWindowClosesEveryWindow() {
        Program p;
        p.control<QPushButton>("Command7")->click();
        p.workflow.setCheck2(1);
        p.control<QPushButton>("Command11")->click();
        p.form1()->findChild<QAction*>(u"View_Web_Page_Backup"_s)->trigger();
        p.form1()->close();
        QVERIFY(p.workflow.isShutDown());
        for (const WindowId id : {WindowId::Form1, WindowId::Form3, WindowId::Form5, WindowId::Form6,
                                  WindowId::Form7, WindowId::Form8}) {
            QTRY_VERIFY(!p.windows.window(id));
        }
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
