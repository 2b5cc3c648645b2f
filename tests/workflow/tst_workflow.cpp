#include "../support/DataRows.h"
#include "../support/WorkflowFixture.h"

using namespace vt::workflow;
using vt::platform::MessageButtons;
using vt::testing::WorkflowFixture;
using namespace Qt::StringLiterals;
using vt::testing::addRows;

namespace {

const QString StoreCaption = u"Just store PAD files as text files"_s;
const QString FileCaption = u"Make web pages from PAD text files"_s;
const QString ImportQuestion =
    u"If you have a large file, this may take time - your computer may seem like it has frozen but it is in fact importing PAD files.\r\n\r\nContinue?"_s;
const QString CapMessage =
    u"30,000 records have been imported. It is wise not to work with more than 30,000 records at a time. Only 30,000 records have been imported (range 0 - 29,999)."_s;

} // namespace

class TestWorkflow : public QObject {
    Q_OBJECT

private slots:
    // What the mode boxes and the category layout change of the start state, and no more. The
    // two boxes exclude each other.
    void startStateAndModeBoxes_data() { addRows("modeboxes"); }
    void startStateAndModeBoxes() {
        QFETCH(QStringList, clicks);
        QFETCH(QString, caption);
        WorkflowFixture f;
        Workflow& w = f.workflow;
        w.setPadTextFolder(u"/texts"_s);
        for (const QString& text : clicks) {
            const int click = text.toInt();
            click == 3 ? w.enterCategoryLayout()
                       : (w.*(std::abs(click) == 1 ? &Workflow::setCheck1 : &Workflow::setCheck2))(click > 0);
        }
        QCOMPARE(w.batchCaption(), caption);
        QCOMPARE(QList<int>({w.check1(), w.check2()}),
                 QList<int>({caption == StoreCaption ? 1 : 0, caption == FileCaption ? 1 : 0}));
        QCOMPARE(w.isEnabled(Control::Command3) && w.isEnabled(Control::Command5), w.check1() == 0);
        QCOMPARE(QList<bool>(
                     {w.isShown(Control::Text5), w.isShown(Control::Label6), w.isShown(Control::Command11)}),
                 QList<bool>(3, w.check2() == 1));
        QCOMPARE(w.padTextFolder(), u"/texts"_s); // a hidden folder box keeps its text
        QCOMPARE(QStringList({w.recordCounter(), w.startRecord(), w.rangeEnd()}), QStringList(3, u"0"_s));
        QVERIFY(!w.isShown(Control::Command1) && !w.isShown(Control::Check3) && !w.isShown(Control::Combo1));
        QCOMPARE(QList<bool>(
                     {w.isShown(Control::Text2), w.isShown(Control::Command4), w.isShown(Control::Check1)}),
                 QList<bool>(3, !clicks.contains(u"3"_s)));
    }

    // The list stops at 30,000 entries.
    void import_data() {
        addRows("imports");
        const QByteArray full = QByteArray("x\r\n").repeated(29999) + "last";
        const QStringList capped = QStringList(29999, u"x"_s) << u"last"_s;
        QTest::addRow("29,999 lines") << full.mid(3) << false << u"0"_s << capped.mid(1)
                                      << QStringList{u"29999"_s, u"0"_s} << QString();
        QTest::addRow("30,000 lines")
            << full << false << u"0"_s << capped << QStringList{u"30000"_s, u"0"_s} << CapMessage;
        QTest::addRow("30,001 lines") << full + "\r\nover" << false << u"0"_s << capped
                                      << QStringList{u"30000"_s, u"0"_s} << CapMessage;
    }
    void import() {
        QFETCH(QByteArray, file);
        QFETCH(bool, cancelled);
        QFETCH(QString, startRecord);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, after);
        QFETCH(QString, message);
        WorkflowFixture f;
        f.workflow.setRangeEnd(u"17"_s);
        f.workflow.setRecordCounter(u"5"_s);
        f.workflow.setStartRecord(startRecord);
        f.dialogs.files += cancelled ? QString() : f.write(u"list.txt"_s, file);
        f.workflow.pressStep1();
        QCOMPARE(f.workflow.urlList(), entries);
        QCOMPARE(QStringList({f.workflow.rangeEnd(), f.workflow.recordCounter()}), after);
        QCOMPARE(f.dialogs.texts(),
                 QStringList{ImportQuestion} + (message.isEmpty() ? QStringList() : QStringList{message}));
        QCOMPARE(f.dialogs.shown.front().buttons, MessageButtons::YesNo);
        QCOMPARE(f.dialogs.filters, QStringList{u"Text Files (*.txt) | *.txt"_s});
    }

    // No: nothing read or taken. Cancelled: the earlier file again. Unreadable: start not taken.
    void laterImports() {
        WorkflowFixture f;
        f.dialogs.files += f.write(u"list.txt"_s, "a\r\nb\r\n");
        f.workflow.pressStep1();
        f.write(u"list.txt"_s, "a\r\nb\r\nc\r\n");
        f.workflow.setStartRecord(u"1"_s);
        f.dialogs.answers.push_back(vt::platform::Answer::No);
        f.workflow.pressStep1();
        QVERIFY(f.workflow.urlList().size() == 2 && f.dialogs.filters.size() == 1);
        QCOMPARE(f.workflow.recordCounter(), u"0"_s);
        f.workflow.pressStep1();
        QCOMPARE(f.workflow.urlList().size(), 3);

        f.workflow.setStartRecord(u"2"_s);
        f.dialogs.files += f.path(u"gone.txt"_s);
        f.workflow.pressStep1();
        QVERIFY(f.dialogs.texts().last().startsWith(
            u"The list of PAD files could not be read.\r\n\r\nCould not open \""_s + f.path(u"gone.txt"_s)));
        QCOMPARE(f.workflow.recordCounter(), u"1"_s);
    }

    // Yield 1: a second import is refused unasked. Yield 2: closing ends the first one there.
    void importYieldsRefuseASecondImportAndStopOnClose() {
        WorkflowFixture f;
        f.workflow.setRecordCounter(u"4"_s);
        f.dialogs.files += u"/nonexistent"_s;
        int yields = 0;
        f.onYield = [&] {
            ++yields == 1 ? f.workflow.pressStep1() : f.workflow.shutDown();
        };
        f.workflow.pressStep1();
        QVERIFY(f.dialogs.shown.size() == 1 && f.dialogs.filters.isEmpty());
        QCOMPARE(f.workflow.recordCounter(), u"4"_s);
    }

    // The folder chooser and Step 4 in text-file mode both set the range end from the listing;
    // Step 4 then reads the numbered file, or fails and leaves the PAD text box alone. The range
    // end is the last file's number.
    void textFileModeReadsTheNumberedFile_data() { addRows("numberedfile"); }
    void textFileModeReadsTheNumberedFile() {
        QFETCH(int, files);
        QFETCH(QString, record);
        QFETCH(QString, outcome);
        const QString rangeEnd = QString::number(std::max(files - 1, 0));
        WorkflowFixture f;
        for (int i = 0; i < files; ++i) {
            f.write(u"%1.txt"_s.arg(i), "record " + QByteArray::number(i));
        }
        f.workflow.setCheck2(1);
        f.workflow.setRangeEnd(u"99"_s);
        f.workflow.choosePadTextFolder(f.temp.path());
        QCOMPARE(QStringList({f.workflow.padTextFolder(), f.workflow.rangeEnd()}),
                 QStringList({f.temp.path(), rangeEnd}));
        f.workflow.setRangeEnd(u"99"_s);
        f.workflow.setPadText(u"before"_s);
        f.workflow.setRecordCounter(record);
        const vt::Status read = f.workflow.pressStep4();
        QCOMPARE(read.ok() ? f.workflow.padText() : read.message(), outcome.replace(u"%1"_s, f.temp.path()));
        QCOMPARE(f.workflow.padText(), read.ok() ? outcome : u"before"_s);
        QCOMPARE(f.workflow.rangeEnd(), rangeEnd);
    }

    // Without a storage folder Step 6 warns and keeps the filled template for a retry.
    void oneRecordThroughStepsFourToSixAndMakeTxt() {
        WorkflowFixture f;
        f.workflow.setRangeEnd(u"10"_s);
        f.browser.pages.insert(u"u"_s, u"<Program_Name>Foo Editor</Program_Name>"_s);
        f.browser.navigate(u"u"_s);
        QVERIFY(f.workflow.pressStep4().ok() && f.workflow.pressStep5().ok());
        const QString filled = f.workflow.templateText(TemplateText::Page);
        QVERIFY(!f.workflow.pressStep6().ok());
        QCOMPARE(
            f.dialogs.texts(),
            QStringList{
                u"You must carry out step 2: and choose a folder in which to store your files first."_s});
        QCOMPARE(f.workflow.templateText(TemplateText::Page), filled);
        f.workflow.setStorageFolder(f.temp.path());
        QVERIFY(f.workflow.pressStep6().ok() && f.workflow.pressMakeTxt().ok());
        QCOMPARE(vt::testing::filesBelow(f.temp.path()), (QStringList{u"1.txt"_s, u"Foo Editor.html"_s}));
    }

    // Step 5's row 1 reads the box as the user left it; the later rows read what Step 4 reloads.
    // In category mode Step 6 writes into the category's folder and loads the next record; out
    // of it Step 5 keeps the category it had.
    void categoryRecordThroughStepsFiveAndSix() {
        WorkflowFixture f;
        const QString pad =
            u"<Program_Name>From File</Program_Name><Program_Specific_Category>Games</Program_Specific_Category>"_s;
        f.write(u"0.txt"_s, pad.toLatin1());
        f.write(u"1.txt"_s, "second");
        QDir(f.temp.path()).mkpath(u"storage/Games"_s);
        f.workflow.setStorageFolder(f.path(u"storage"_s));
        f.workflow.setRangeEnd(u"1"_s);
        f.workflow.setPadTextFolder(f.temp.path());
        f.workflow.setCheck3(1);
        f.workflow.setTemplateText(TemplateText::Page, u"ProgramNameXXX|PageTitleXXX|CategoryXXX"_s);
        f.workflow.setPadText(u"<Program_Name>Edited</Program_Name>"_s);
        QVERIFY(f.workflow.pressStep5().ok());
        QCOMPARE(f.workflow.templateText(TemplateText::Page), u"Edited|From File|Games"_s);
        QCOMPARE(f.workflow.padText(), pad + u"\r\n"_s);
        QVERIFY(f.workflow.pressStep6().ok() && QFile::exists(f.path(u"storage/Games/Edited.html"_s)));
        QCOMPARE(f.workflow.padText(), u"second\r\n"_s);

        f.workflow.setCheck3(0); // URL mode: the reload empties the box
        f.workflow.setPadText(u"<Program_Specific_Category>Other</Program_Specific_Category>"_s);
        QVERIFY(f.workflow.pressStep5().ok());
        QCOMPARE(f.workflow.currentCategory(), u"Games"_s);
    }
};

QTEST_GUILESS_MAIN(TestWorkflow)
#include "tst_workflow.moc"
