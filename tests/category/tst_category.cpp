#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../support/ScriptedBrowser.h"
#include "../support/ScriptedDialogs.h"
#include "category/CategorySorting.h"
#include "workflow/Workflow.h"

using namespace vt::workflow;
using vt::category::CategorySorting;
using vt::platform::Answer;
using vt::platform::MessageIcon;
using namespace Qt::StringLiterals;

namespace {

const QString FirstQuestion =
    u"This function requires that you choose a folder that contains PAD text files only. Click the blue button and read the readme page if you are unsure what these are.\r\n\r\nContinue?"_s;

QByteArray padText(const QString& name, const QString& categoryElement) {
    return (u"<Program_Name>%1</Program_Name>\r\n%2\r\n"_s.arg(name, categoryElement)).toLatin1();
}

QString element(const QString& category) {
    return u"<Program_Specific_Category>%1</Program_Specific_Category>"_s.arg(category);
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList entriesBelow(const QString& folder, QDir::Filters filters) {
    QStringList found;
    QDirIterator it(folder, filters | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found += QDir(folder).relativeFilePath(it.next());
    }
    found.sort();
    return found;
}

// A PAD text folder F inside a sandbox, and the workflow and category sorting over it.
struct Fixture {
    vt::testing::ScriptedDialogs dialogs;
    vt::testing::ScriptedBrowser browser;
    std::function<void()> onYield;
    Workflow workflow{dialogs, browser, [this] {
                          yieldOnce();
                      }};
    CategorySorting sorting{workflow, dialogs, [this] {
                                yieldOnce();
                            }};
    QTemporaryDir sandbox;
    QString folder = sandbox.filePath(u"F"_s);

    Fixture() {
        QDir(sandbox.path()).mkdir(u"F"_s);
        workflow.setPadTextFolder(folder);
    }
    void yieldOnce() {
        if (onYield) {
            onYield();
        }
    }
    void addText(int number, const QByteArray& text) { writeBytes(folder + u"/%1.txt"_s.arg(number), text); }
    QStringList categoryFolders() const { return entriesBelow(folder + u"/Category"_s, QDir::Dirs); }
};

} // namespace

class TestCategory : public QObject {
    Q_OBJECT

private slots:
    void noFolderSwitchesToTheCategoryLayout() {
        Fixture f;
        f.workflow.setPadTextFolder(QString());
        f.workflow.setStorageFolder(u"/somewhere"_s);
        f.sorting.pressCommand12();
        QCOMPARE(
            f.dialogs.texts(),
            (QStringList{
                FirstQuestion,
                u"Select the folder where your PAD text files are stored (yellow text box) and then click the 'Make Category Folders' button again"_s}));
        QVERIFY(f.workflow.storageFolder().isEmpty());
        QVERIFY(!f.workflow.isShown(Control::Command6) && f.workflow.isShown(Control::Text5));
        QCOMPARE(entriesBelow(f.sandbox.path(), QDir::AllEntries), QStringList{u"F"_s});
    }

    void answeringNoFirstChangesNothing() {
        Fixture f;
        f.addText(0, padText(u"A"_s, element(u"Games"_s)));
        f.dialogs.answers = {Answer::No};
        f.sorting.pressCommand12();
        QVERIFY(f.workflow.storageFolder().isEmpty());
        QCOMPARE(entriesBelow(f.folder, QDir::Dirs), QStringList());
    }

    void foldersForTheCategories() {
        Fixture f;
        f.addText(0, padText(u"A"_s, element(u"Utilities"_s)));
        f.addText(1, padText(u"B"_s, element(u"Games"_s)));
        f.addText(2, padText(u"C"_s, element(u"Utilities"_s)));
        f.dialogs.answers = {Answer::Yes, Answer::Ok, Answer::No};
        f.sorting.pressCommand12();
        QCOMPARE(f.categoryFolders(), (QStringList{u"Games"_s, u"Utilities"_s}));
        const QString storage = f.folder + QDir::separator() + u"Category"_s;
        QCOMPARE(f.workflow.storageFolder(), storage);
        QCOMPARE(f.workflow.recordCounter(), u"2"_s);
        QCOMPARE(f.workflow.rangeEnd(), u"2"_s);
        QVERIFY(f.workflow.isShown(Control::Text4));
        QVERIFY(!f.workflow.isShown(Control::Check3));
        QCOMPARE(f.dialogs.shown.size(), 3u);
        QCOMPARE(
            f.dialogs.shown[1].text,
            u"The program will now count the files in the folder. This may take several minutes if you have "
            u"thousands of files in the folder.\r\n\r\n"
            "After that the program will go through each file, see which category that file belongs to and "
            "create a folder for that category. Progress will be shown by the number record on the bottom "
            "left hand corner.\r\n\r\n"
            "Folders will be created in a subfolder called 'Category' within the folder you have just selected, which is:\r\n\r\n"_s +
                storage);
        QCOMPARE(f.dialogs.shown[1].icon, MessageIcon::Information);
        QCOMPARE(f.dialogs.shown[2].text,
                 u"Finished.\r\n\r\nFolders created in "_s + storage +
                     u"\r\n\r\nDo you now want to sort each file into its catagory?"_s);
        QCOMPARE(entriesBelow(f.folder, QDir::Files), (QStringList{u"0.txt"_s, u"1.txt"_s, u"2.txt"_s}));
    }

    void categoryTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("folders");
        QTest::addRow("spaces kept") << element(u" Games "_s) << QStringList{u" Games "_s};
        QTest::addRow("lower-case tags")
            << u"<program_specific_category>Games</program_specific_category>"_s << QStringList();
        QTest::addRow("two elements")
            << element(u"First"_s) + element(u"Second"_s) << QStringList{u"First"_s};
        QTest::addRow("empty") << element(QString()) << QStringList();
        QTest::addRow("no close tag") << u"<Program_Specific_Category>Games"_s << QStringList();
        QTest::addRow("nested with slash")
            << element(u"Home/Hobby"_s) << QStringList{u"Home"_s, u"Home/Hobby"_s};
        QTest::addRow("nested with backslash")
            << element(u"Home\\Hobby"_s) << QStringList{u"Home"_s, u"Home/Hobby"_s};
        QTest::addRow("climbs out") << element(u"../../x"_s) << QStringList();
        QTest::addRow("refused name") << element(u"a:b"_s) << QStringList();
    }
    void categoryTexts() {
        QFETCH(QString, text);
        QFETCH(QStringList, folders);
        Fixture f;
        f.addText(0, padText(u"A"_s, text));
        f.dialogs.answers = {Answer::Yes, Answer::Ok, Answer::No};
        f.sorting.pressCommand12();
        QCOMPARE(f.categoryFolders(), folders);
        QCOMPARE(entriesBelow(f.sandbox.path(), QDir::Dirs).filter(u"x"_s), QStringList());
    }

    void missingNumberedFilesAreCounted() {
        Fixture f;
        f.addText(0, padText(u"A"_s, element(u"Games"_s)));
        f.addText(2, padText(u"C"_s, element(u"Tools"_s)));
        writeBytes(f.folder + u"/readme.txt"_s, "not a PAD text");
        f.dialogs.answers = {Answer::Yes, Answer::Ok, Answer::No};
        f.sorting.pressCommand12();
        QCOMPARE(f.categoryFolders(), (QStringList{u"Games"_s, u"Tools"_s}));
        QVERIFY(f.dialogs.shown.back().text.endsWith(
            u"its catagory?\r\n\r\n1 of the numbered PAD text files could not be read."_s));
    }

    void missingFolderChangesNothing() {
        Fixture f;
        f.workflow.setPadTextFolder(f.sandbox.filePath(u"gone"_s));
        f.workflow.setStorageFolder(u"/pages"_s);
        f.sorting.pressCommand12();
        QCOMPARE(f.dialogs.shown.size(), 2u);
        QVERIFY(f.dialogs.shown.back().text.contains(f.sandbox.filePath(u"gone"_s)));
        QCOMPARE(f.workflow.storageFolder(), u"/pages"_s);
    }

    // The whole chain: folders, the split into subfolders of 50, and a page for every text in
    // the folder of its category.
    void sortingFilesEveryPageByCategory() {
        Fixture f;
        for (int i = 0; i < 120; ++i) {
            f.addText(i, padText(u"P%1"_s.arg(i), element(i % 3 ? u"Games"_s : u"Home/Hobby"_s)));
        }
        f.sorting.pressCommand12();
        const QStringList pages = entriesBelow(f.folder + u"/Category"_s, QDir::Files);
        QCOMPARE(pages.size(), 120);
        QVERIFY(pages.contains(u"Games/P1.html"_s) && pages.contains(u"Home/Hobby/P0.html"_s));
        QCOMPARE(entriesBelow(f.folder + u"/0"_s, QDir::Files).size(), 50);
        QCOMPARE(entriesBelow(f.folder + u"/2"_s, QDir::Files).size(), 20);
        QCOMPARE(f.dialogs.texts().last(), u"finished."_s);
        QCOMPARE(f.dialogs.shown.back().icon, MessageIcon::Information);
        QCOMPARE(f.workflow.check3(), 1);
        QVERIFY(f.workflow.isShown(Control::Check3));
        QCOMPARE(f.workflow.categoryProgress(), u"3"_s);
        QCOMPARE(f.workflow.padTextFolder(), f.folder + QDir::separator() + u"3"_s);
        QVERIFY(!f.workflow.isRunning());
        QVERIFY(!f.sorting.splitter());
    }

    void runWithoutAnEstimateStopsAtTheFirstEmptySubfolder() {
        Fixture f;
        QDir(f.folder).mkpath(u"0"_s);
        QDir(f.folder).mkpath(u"Category/Games"_s);
        writeBytes(f.folder + u"/0/a.txt"_s, padText(u"A"_s, element(u"Games"_s)));
        f.workflow.setStorageFolder(f.folder + u"/Category"_s);
        f.workflow.setCheck3(1);
        QVERIFY(QFile::exists(f.folder + u"/Category/Games/A.html"_s));
        QCOMPARE(f.workflow.categoryProgress(), u"1"_s);
        QCOMPARE(f.dialogs.texts(), QStringList{u"finished."_s});
    }

    void secondStartDuringTheChainIsRefused() {
        Fixture f;
        for (int i = 0; i < 3; ++i) {
            f.addText(i, padText(u"P%1"_s.arg(i), element(u"Games"_s)));
        }
        int passes = 0;
        f.dialogs.onMessage = [&] {
            passes += f.dialogs.shown.back().text == FirstQuestion;
        };
        f.onYield = [&] {
            f.sorting.pressCommand12();
            f.workflow.pressCommand6();
            f.workflow.pressStep1();
        };
        f.sorting.pressCommand12();
        QCOMPARE(passes, 1);
        QCOMPARE(entriesBelow(f.folder + u"/Category"_s, QDir::Files).size(), 3);
    }

    void closingStopsTheChain() {
        Fixture f;
        for (int i = 0; i < 60; ++i) {
            f.addText(i, padText(u"P%1"_s.arg(i), element(u"Games"_s)));
        }
        f.onYield = [&] {
            if (entriesBelow(f.folder + u"/Category"_s, QDir::Files).size() == 5) {
                f.workflow.shutDown();
            }
        };
        f.sorting.pressCommand12();
        QCOMPARE(entriesBelow(f.folder + u"/Category"_s, QDir::Files).size(), 5);
        QVERIFY(!f.dialogs.texts().contains(u"finished."_s));
    }
};

QTEST_GUILESS_MAIN(TestCategory)
#include "tst_category.moc"
