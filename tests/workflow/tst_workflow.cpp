#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../support/ScriptedBrowser.h"
#include "../support/ScriptedDialogs.h"
#include "pagegen/TemplateDefaults.h"
#include "workflow/Workflow.h"

using namespace vt::workflow;
using vt::platform::Answer;
using vt::platform::MessageButtons;
using vt::platform::MessageIcon;
using namespace Qt::StringLiterals;

namespace {

const QString UrlCaption = u"Make web pages from PAD file URLs"_s;
const QString StoreCaption = u"Just store PAD files as text files"_s;
const QString FileCaption = u"Make web pages from PAD text files"_s;
const QString ImportQuestion =
    u"If you have a large file, this may take time - your computer may seem like it has frozen but it is in fact importing PAD files.\r\n\r\nContinue?"_s;
const QString CapMessage =
    u"30,000 records have been imported. It is wise not to work with more than 30,000 records at a time. Only 30,000 records have been imported (range 0 - 29,999)."_s;
const QString NoStorageWarning =
    u"You must carry out step 2: and choose a folder in which to store your files first."_s;

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A workflow with scripted dialogs and browser; yields run an optional test action.
struct Fixture {
    vt::testing::ScriptedDialogs dialogs;
    vt::testing::ScriptedBrowser browser;
    std::function<void()> onYield;
    Workflow workflow{dialogs, browser, [this] {
                          if (onYield) {
                              onYield();
                          }
                      }};
};

QByteArray linesFile(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes += "http://example.com/pad" + QByteArray::number(i) + ".xml\r\n";
    }
    return bytes;
}

} // namespace

class TestWorkflow : public QObject {
    Q_OBJECT

private slots:
    void startsInUrlMode() {
        Fixture f;
        const Workflow& w = f.workflow;
        QCOMPARE(w.batchCaption(), UrlCaption);
        QCOMPARE(w.recordCounter(), u"0"_s);
        QCOMPARE(w.startRecord(), u"0"_s);
        QCOMPARE(w.rangeEnd(), u"0"_s);
        QVERIFY(w.storageFolder().isEmpty());
        QVERIFY(w.currentProgramName().isEmpty());
        for (const Control hidden :
             {Control::Command1, Control::Command2, Control::Command3, Control::Command5, Control::Command8,
              Control::Text5, Control::Label6, Control::Command11, Control::Check3, Control::Combo1}) {
            QVERIFY(!w.isShown(hidden));
        }
        for (const Control shown :
             {Control::Command4, Control::Command6, Control::Command7, Control::Command12, Control::Check1,
              Control::Check2, Control::Text2, Control::Label2}) {
            QVERIFY(w.isShown(shown));
        }
        QVERIFY(w.isEnabled(Control::Command3) && w.isEnabled(Control::Command5));
    }

    void modeBoxes_data() {
        QTest::addColumn<QList<int>>("clicks"); // +1/-1: tick/clear Check1, +2/-2: Check2
        QTest::addColumn<int>("check1");
        QTest::addColumn<int>("check2");
        QTest::addColumn<QString>("caption");
        QTest::addRow("tick 1") << QList<int>{1} << 1 << 0 << StoreCaption;
        QTest::addRow("tick 2") << QList<int>{2} << 0 << 1 << FileCaption;
        QTest::addRow("tick 2 then 1") << QList<int>{2, 1} << 1 << 0 << StoreCaption;
        QTest::addRow("tick 1 then 2") << QList<int>{1, 2} << 0 << 1 << FileCaption;
        QTest::addRow("tick and clear 1") << QList<int>{1, -1} << 0 << 0 << UrlCaption;
        QTest::addRow("tick and clear 2") << QList<int>{2, -2} << 0 << 0 << UrlCaption;
        QTest::addRow("clear what is clear") << QList<int>{-1, -2} << 0 << 0 << UrlCaption;
    }
    void modeBoxes() {
        QFETCH(QList<int>, clicks);
        QFETCH(int, check1);
        QFETCH(int, check2);
        QFETCH(QString, caption);
        Fixture f;
        Workflow& w = f.workflow;
        for (const int click : clicks) {
            (w.*(std::abs(click) == 1 ? &Workflow::setCheck1 : &Workflow::setCheck2))(click > 0 ? 1 : 0);
        }
        QCOMPARE(w.check1(), check1);
        QCOMPARE(w.check2(), check2);
        QCOMPARE(w.batchCaption(), caption);
        QCOMPARE(w.isEnabled(Control::Command3), check1 == 0);
        QCOMPARE(w.isEnabled(Control::Command5), check1 == 0);
        for (const Control folderControl : {Control::Text5, Control::Label6, Control::Command11}) {
            QCOMPARE(w.isShown(folderControl), check2 == 1);
        }
    }

    void hiddenFolderBoxKeepsItsText() {
        Fixture f;
        f.workflow.setCheck2(1);
        f.workflow.setPadTextFolder(u"/texts"_s);
        f.workflow.setCheck2(0);
        QVERIFY(!f.workflow.isShown(Control::Text5));
        f.workflow.setCheck2(1);
        QCOMPARE(f.workflow.padTextFolder(), u"/texts"_s);
    }

    void categoryLayoutHidesTheBoxesWithTheirValues() {
        Fixture f;
        f.workflow.setCheck2(1);
        f.workflow.enterCategoryLayout();
        for (const Control hidden : {Control::Text2, Control::Text3, Control::Text4, Control::Command7,
                                     Control::Command4, Control::Command6, Control::Check1, Control::Check2,
                                     Control::Check3, Control::Label3, Control::Label4, Control::Label5}) {
            QVERIFY(!f.workflow.isShown(hidden));
        }
        QVERIFY(f.workflow.isShown(Control::Text5) && f.workflow.isShown(Control::Command11));
        QCOMPARE(f.workflow.check2(), 1);
    }

    void importReadsTheListByTheLineRules_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("rangeEnd");
        QTest::addRow("three lines") << QByteArray("a\r\nb\r\nc\r\n") << QStringList{u"a"_s, u"b"_s, u"c"_s}
                                     << u"3"_s;
        QTest::addRow("last line without line end")
            << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s} << u"2"_s;
        QTest::addRow("lone CR ends lines") << QByteArray("a\rb\r") << QStringList{u"a"_s, u"b"_s} << u"2"_s;
        QTest::addRow("LF only is one entry")
            << QByteArray("a\nb\nc\n") << QStringList{u"a\nb\nc\n"_s} << u"1"_s;
        QTest::addRow("blank lines are entries")
            << QByteArray("a\r\n\r\n\r\nb\r\n") << QStringList{u"a"_s, QString(), QString(), u"b"_s}
            << u"4"_s;
        QTest::addRow("spaces kept") << QByteArray(" a \r\n") << QStringList{u" a "_s} << u"1"_s;
        QTest::addRow("empty file keeps the range end") << QByteArray() << QStringList() << u"17"_s;
    }
    void importReadsTheListByTheLineRules() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        QFETCH(QString, rangeEnd);
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"list.txt"_s), file);
        Fixture f;
        f.workflow.setRangeEnd(u"17"_s);
        f.workflow.setRecordCounter(u"5"_s);
        f.dialogs.files.push_back(temp.filePath(u"list.txt"_s));
        f.workflow.pressStep1();
        QCOMPARE(f.workflow.urlList(), entries);
        QCOMPARE(f.workflow.rangeEnd(), rangeEnd);
        QCOMPARE(f.workflow.recordCounter(), u"0"_s);
        QCOMPARE(f.dialogs.texts(), QStringList{ImportQuestion});
        QCOMPARE(f.dialogs.shown.front().buttons, MessageButtons::YesNo);
        QCOMPARE(f.dialogs.shown.front().icon, MessageIcon::None);
        QCOMPARE(f.dialogs.filters, QStringList{u"Text Files (*.txt) | *.txt"_s});
    }

    void importIsCappedAt30000_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("capMessage");
        QTest::addRow("29,999 lines") << 29999 << 29999 << false;
        QTest::addRow("30,000 lines") << 30000 << 30000 << true;
        QTest::addRow("30,001 lines") << 30001 << 30000 << true;
    }
    void importIsCappedAt30000() {
        QFETCH(int, lines);
        QFETCH(int, entries);
        QFETCH(bool, capMessage);
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"list.txt"_s), linesFile(lines));
        Fixture f;
        f.dialogs.files.push_back(temp.filePath(u"list.txt"_s));
        f.workflow.pressStep1();
        QCOMPARE(f.workflow.urlList().size(), entries);
        QCOMPARE(f.workflow.urlList().last(), u"http://example.com/pad%1.xml"_s.arg(entries - 1));
        QCOMPARE(f.workflow.rangeEnd(), QString::number(entries));
        QCOMPARE(f.dialogs.texts().contains(CapMessage), capMessage);
    }

    void importStartRecord_data() {
        QTest::addColumn<QString>("startRecord");
        QTest::addColumn<QString>("recordCounter");
        QTest::addColumn<bool>("message");
        QTest::addRow("leading zeros") << u"007"_s << u"7"_s << false;
        QTest::addRow("half to even down") << u"2.5"_s << u"2"_s << false;
        QTest::addRow("half to even up") << u"3.5"_s << u"4"_s << false;
        QTest::addRow("negative") << u"-3"_s << u"-3"_s << false;
        QTest::addRow("not a number") << u"abc"_s << u"9"_s << true;
        QTest::addRow("past 16 bits") << u"40000"_s << u"9"_s << true;
    }
    void importStartRecord() {
        QFETCH(QString, startRecord);
        QFETCH(QString, recordCounter);
        QFETCH(bool, message);
        Fixture f;
        f.workflow.setRecordCounter(u"9"_s);
        f.workflow.setStartRecord(startRecord);
        f.workflow.pressStep1(); // the dialog is cancelled: nothing read, the start record still taken
        QCOMPARE(f.workflow.recordCounter(), recordCounter);
        QCOMPARE(f.dialogs.shown.size(), message ? 2u : 1u);
        if (message) {
            QVERIFY(f.dialogs.shown.back().text.contains(u'"' + startRecord + u'"'));
        }
    }

    void importAnsweredNoChangesNothing() {
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"list.txt"_s), "a\r\nb\r\n");
        Fixture f;
        f.dialogs.files.push_back(temp.filePath(u"list.txt"_s));
        f.workflow.pressStep1();
        f.workflow.setStartRecord(u"1"_s);
        f.dialogs.answers.push_back(Answer::No);
        f.workflow.pressStep1();
        QCOMPARE(f.workflow.urlList().size(), 2);
        QCOMPARE(f.workflow.recordCounter(), u"0"_s);
        QCOMPARE(f.dialogs.filters.size(), 1);
    }

    void cancelledDialogReadsTheEarlierFileAgain() {
        QTemporaryDir temp;
        const QString list = temp.filePath(u"list.txt"_s);
        writeBytes(list, "a\r\nb\r\n");
        Fixture f;
        f.workflow.pressStep1(); // cancelled before any file was chosen
        QVERIFY(f.workflow.urlList().isEmpty());
        f.dialogs.files.push_back(list);
        f.workflow.pressStep1();
        writeBytes(list, "a\r\nb\r\nc\r\n");
        f.workflow.pressStep1(); // cancelled: the dialog still holds the earlier file name
        QCOMPARE(f.workflow.urlList().size(), 3);
    }

    void unreadableListIsReported() {
        QTemporaryDir temp;
        Fixture f;
        f.workflow.setRecordCounter(u"4"_s);
        f.dialogs.files.push_back(temp.filePath(u"gone.txt"_s));
        f.workflow.pressStep1();
        QCOMPARE(f.dialogs.shown.size(), 2u);
        QVERIFY(f.dialogs.shown.back().text.contains(temp.filePath(u"gone.txt"_s)));
        QCOMPARE(f.workflow.recordCounter(), u"4"_s);
    }

    void secondImportDuringAYieldIsRefused() {
        Fixture f;
        int questions = 0;
        f.dialogs.onMessage = [&] {
            ++questions;
        };
        f.onYield = [&] {
            f.workflow.pressStep1();
        };
        f.workflow.pressStep1();
        QCOMPARE(questions, 1);
    }

    void closingDuringTheImportYieldEndsIt() {
        Fixture f;
        f.workflow.setRecordCounter(u"4"_s);
        f.onYield = [&] {
            f.workflow.shutDown();
        };
        f.dialogs.files.push_back(u"/nonexistent"_s);
        f.workflow.pressStep1();
        QVERIFY(f.dialogs.filters.isEmpty());
        QCOMPARE(f.workflow.recordCounter(), u"4"_s);
    }

    void stepSixWithoutStorageFolderWarns() {
        Fixture f;
        f.workflow.setTemplateText(TemplateText::Page, u"filled"_s);
        QVERIFY(!f.workflow.pressStep6().ok());
        QCOMPARE(f.dialogs.texts(), QStringList{NoStorageWarning});
        QCOMPARE(f.dialogs.shown.front().icon, MessageIcon::Exclamation);
        QCOMPARE(f.dialogs.shown.front().buttons, MessageButtons::Ok);
        QCOMPARE(f.workflow.recordCounter(), u"0"_s);
        QCOMPARE(f.workflow.templateText(TemplateText::Page), u"filled"_s);
    }

    void textFileModeReadsTheNumberedFile() {
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"a.txt"_s), "first");
        writeBytes(temp.filePath(u"b.txt"_s), "a\r\nb\nc\rd");
        writeBytes(temp.filePath(u"c.txt"_s), "third\r\n");
        Fixture f;
        f.workflow.setCheck2(1);
        f.workflow.setPadTextFolder(temp.path());
        f.workflow.setRecordCounter(u"1"_s);
        QVERIFY(f.workflow.pressStep4().ok());
        QCOMPARE(f.workflow.rangeEnd(), u"2"_s);
        QCOMPARE(f.workflow.padText(), u"a\r\nb\nc\r\nd\r\n"_s);

        f.workflow.setRecordCounter(u"3"_s);
        QVERIFY(!f.workflow.pressStep4().ok());
        f.workflow.setRecordCounter(u"x"_s);
        QVERIFY(!f.workflow.pressStep4().ok());
        QCOMPARE(f.workflow.padText(), u"a\r\nb\nc\r\nd\r\n"_s);
    }

    void emptyFolderIsAFailureNotARead() {
        QTemporaryDir temp;
        Fixture f;
        f.workflow.setCheck2(1);
        f.workflow.setPadTextFolder(temp.path());
        f.workflow.setRangeEnd(u"9"_s);
        const vt::Status status = f.workflow.pressStep4();
        QVERIFY(!status.ok());
        QVERIFY(status.message().contains(temp.path()));
        QCOMPARE(f.workflow.rangeEnd(), u"0"_s);
    }

    void urlModeGrabsTheBrowserText() {
        Fixture f;
        f.browser.pages.insert(u"http://pad/1.xml"_s, u"<Program_Name>X</Program_Name>"_s);
        f.browser.navigate(u"http://pad/1.xml"_s);
        QVERIFY(f.workflow.pressStep4().ok());
        QCOMPARE(f.workflow.padText(), u"<Program_Name>X</Program_Name>"_s);
    }

    // Row 1 reads the box as the user left it; the later rows read what Step 4 reloads.
    void stepFiveReloadsThePadTextAfterEveryRow() {
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"0.txt"_s),
                   "<Program_Name>From "
                   "File</Program_Name><Program_Specific_Category>Games</Program_Specific_Category>");
        Fixture f;
        f.workflow.setCheck2(1);
        f.workflow.setPadTextFolder(temp.path());
        f.workflow.setCheck3(1);
        f.workflow.setTemplateText(TemplateText::Page, u"ProgramNameXXX|PageTitleXXX|CategoryXXX"_s);
        f.workflow.setPadText(u"<Program_Name>Edited</Program_Name>"_s);
        f.workflow.pressStep5();
        QCOMPARE(f.workflow.templateText(TemplateText::Page), u"Edited|From File|Games"_s);
        QCOMPARE(f.workflow.currentProgramName(), u"Edited"_s);
        QCOMPARE(f.workflow.currentCategory(), u"Games"_s);
        QCOMPARE(f.workflow.padText(),
                 QString::fromLatin1(contentsOf(temp.filePath(u"0.txt"_s))) + u"\r\n"_s);
    }

    void categoryKeptWhenNotInCategoryMode() {
        Fixture f;
        f.workflow.setCheck3(1);
        f.workflow.setPadText(u"<Program_Specific_Category>Games</Program_Specific_Category>"_s);
        f.workflow.pressStep5();
        f.workflow.setCheck3(0);
        f.workflow.setPadText(u"<Program_Specific_Category>Other</Program_Specific_Category>"_s);
        f.workflow.pressStep5();
        QCOMPARE(f.workflow.currentCategory(), u"Games"_s);
    }

    void oneRecordThroughStepsFiveAndSix() {
        QTemporaryDir temp;
        Fixture f;
        f.workflow.setStorageFolder(temp.path());
        f.workflow.setRangeEnd(u"10"_s);
        f.browser.pages.insert(u"u"_s, u"<Program_Name>Foo Editor</Program_Name>"_s);
        f.browser.navigate(u"u"_s);
        QVERIFY(f.workflow.pressStep4().ok());
        f.workflow.pressStep5();
        QVERIFY(f.workflow.pressStep6().ok());
        const QByteArray page = contentsOf(temp.filePath(u"Foo Editor.html"_s));
        QVERIFY(page.contains("<title>Foo Editor</title>"));
        QVERIFY(page.endsWith("</html>\r\n\r\n"));
        QVERIFY(f.workflow.padText().endsWith(u"\r\n"_s + temp.path() + QDir::separator() +
                                              u"Foo Editor.html"_s));
        QCOMPARE(f.workflow.recordCounter(), u"1"_s);
        QCOMPARE(f.workflow.templateText(TemplateText::Page), vt::pagegen::DefaultPageTemplate());

        QVERIFY(f.workflow.pressMakeTxt().ok());
        QVERIFY(QFile::exists(temp.filePath(u"1.txt"_s)));
        QCOMPARE(f.workflow.recordCounter(), u"2"_s);
    }

    void stepSixInCategoryModeLoadsTheNextRecord() {
        QTemporaryDir temp;
        QDir(temp.path()).mkpath(u"storage/Games"_s);
        QDir(temp.path()).mkpath(u"texts"_s);
        writeBytes(
            temp.filePath(u"texts/0.txt"_s),
            "<Program_Name>P</Program_Name><Program_Specific_Category>Games</Program_Specific_Category>");
        writeBytes(temp.filePath(u"texts/1.txt"_s), "second");
        Fixture f;
        f.workflow.setStorageFolder(temp.filePath(u"storage"_s));
        f.workflow.setPadTextFolder(temp.filePath(u"texts"_s));
        f.workflow.setRangeEnd(u"1"_s);
        f.workflow.setCheck3(1);
        QVERIFY(f.workflow.pressStep4().ok());
        f.workflow.pressStep5();
        QVERIFY(f.workflow.pressStep6().ok());
        QVERIFY(QFile::exists(temp.filePath(u"storage/Games/P.html"_s)));
        QCOMPARE(f.workflow.recordCounter(), u"1"_s);
        QCOMPARE(f.workflow.padText(), u"second\r\n"_s);
    }

    void templateWindowClosedLosesItsEdits() {
        Fixture f;
        f.workflow.setTemplateText(TemplateText::AdBlock, u"edited ad"_s);
        f.workflow.discardTemplateEdits(TemplateText::AdBlock);
        QCOMPARE(f.workflow.templateText(TemplateText::AdBlock), vt::pagegen::DefaultAdBlock());
    }

    void padTextFolderChooserSetsTheRangeEnd_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("rangeEnd");
        QTest::addRow("three files") << 3 << u"2"_s;
        QTest::addRow("one file") << 1 << u"0"_s;
        QTest::addRow("no files") << 0 << u"0"_s;
    }
    void padTextFolderChooserSetsTheRangeEnd() {
        QFETCH(int, files);
        QFETCH(QString, rangeEnd);
        QTemporaryDir temp;
        for (int i = 0; i < files; ++i) {
            writeBytes(temp.filePath(u"%1.txt"_s.arg(i)), "x");
        }
        Fixture f;
        f.workflow.setRangeEnd(u"99"_s);
        f.workflow.choosePadTextFolder(temp.path());
        QCOMPARE(f.workflow.padTextFolder(), temp.path());
        QCOMPARE(f.workflow.rangeEnd(), rangeEnd);
    }
};

QTEST_GUILESS_MAIN(TestWorkflow)
#include "tst_workflow.moc"
