#include <QFileInfo>

#include "../support/DataRows.h"
#include "../support/WorkflowFixture.h"
#include "category/CategorySorting.h"

using namespace vt::workflow;
using vt::category::CategorySorting;
using vt::platform::Answer;
using namespace Qt::StringLiterals;
using vt::testing::addRows;

namespace {

const QString FirstQuestion =
    u"This function requires that you choose a folder that contains PAD text files only. Click the blue button and read the readme page if you are unsure what these are.\r\n\r\nContinue?"_s;
const QString CountMessage =
    u"The program will now count the files in the folder. This may take several minutes if you have thousands of files in the folder.\r\n\r\nAfter that the program will go through each file, see which category that file belongs to and create a folder for that category. Progress will be shown by the number record on the bottom left hand corner.\r\n\r\nFolders will be created in a subfolder called 'Category' within the folder you have just selected, which is:\r\n\r\n"_s;

QString element(const QString& category) {
    return u"<Program_Specific_Category>%1</Program_Specific_Category>"_s.arg(category);
}

// A PAD text folder F in the scratch folder, and the category sorting over it.
struct Fixture : vt::testing::WorkflowFixture {
    CategorySorting sorting{workflow, dialogs, std::ref(onYield)};
    QString folder = path(u"F"_s);

    Fixture() {
        QDir(temp.path()).mkdir(u"F"_s);
        workflow.setPadTextFolder(folder);
    }
    // F/<name>: a PAD text whose program is named after the file.
    void addText(const QString& name, const QString& categoryText) {
        write(u"F/"_s + name,
              u"<Program_Name>%1</Program_Name>\r\n%2\r\n"_s.arg(QFileInfo(name).baseName(), categoryText)
                  .toLatin1());
    }
    // The entries below a folder of the scratch folder, relative to it.
    QStringList below(const QString& sub, QDir::Filters filters) const {
        QStringList found;
        QDirIterator it(path(sub), filters | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            found += QDir(path(sub)).relativeFilePath(it.next());
        }
        found.sort();
        return found;
    }
};

} // namespace

class TestCategory : public QObject {
    Q_OBJECT

private slots:
    // Passes that end before making a folder; only the one without a chosen folder switches to
    // the category layout and clears the storage folder.
    void passesThatMakeNothing() {
        Fixture f;
        f.addText(u"0.txt"_s, element(u"Games"_s));
        f.workflow.setStorageFolder(u"/pages"_s);
        f.dialogs.answers = {Answer::No};
        f.sorting.pressCommand12();
        f.workflow.setPadTextFolder(f.path(u"gone"_s));
        f.sorting.pressCommand12();
        QVERIFY(f.workflow.storageFolder() == u"/pages"_s && !f.workflow.isShown(Control::Text5));
        f.workflow.setPadTextFolder(QString());
        f.sorting.pressCommand12();
        QCOMPARE(
            f.dialogs.texts(),
            (QStringList{
                FirstQuestion, FirstQuestion,
                u"The folder \"%1\" does not exist.\r\n\r\nNothing was done."_s.arg(f.path(u"gone"_s)),
                FirstQuestion,
                u"Select the folder where your PAD text files are stored (yellow text box) and then click the 'Make Category Folders' button again"_s}));
        QVERIFY(f.workflow.storageFolder().isEmpty() && f.workflow.isShown(Control::Text5));
        QCOMPARE(f.below(QString(), QDir::AllEntries), (QStringList{u"F"_s, u"F/0.txt"_s}));
    }

    // F holds 0.txt (Utilities), 1.txt (Games) and a third text; the user stops after the folders.
    // Texts are read by number up to the listing's count less one: a readme.txt in place of
    // 2.txt is one unread text, not a category.
    void folderPass_data() { addRows("categoryfolders"); }
    void folderPass() {
        QFETCH(QString, text);
        QFETCH(QStringList, more);
        Fixture f;
        f.addText(u"0.txt"_s, element(u"Utilities"_s));
        f.addText(u"1.txt"_s, element(u"Games"_s));
        const QString third = text.isEmpty() ? u"readme.txt"_s : u"2.txt"_s;
        f.addText(third, text.isEmpty() ? element(u"Tools"_s) : text);
        f.dialogs.answers = {Answer::Yes, Answer::Ok, Answer::No};
        f.sorting.pressCommand12();
        more += {u"Games"_s, u"Utilities"_s};
        more.sort();
        QCOMPARE(f.below(u"F/Category"_s, QDir::Dirs), more);
        QCOMPARE(f.below(QString(), QDir::Dirs).filter(u"x"_s), QStringList());
        QCOMPARE(f.below(u"F"_s, QDir::Files), (QStringList{u"0.txt"_s, u"1.txt"_s, third}));
        const QString storage = f.folder + QDir::separator() + u"Category"_s;
        QCOMPARE(QStringList({f.workflow.storageFolder(), f.workflow.recordCounter(), f.workflow.rangeEnd()}),
                 QStringList({storage, u"2"_s, u"2"_s}));
        const QString unread = u"\r\n\r\n1 of the numbered PAD text files could not be read."_s;
        QCOMPARE(f.dialogs.texts(),
                 (QStringList{FirstQuestion, CountMessage + storage,
                              u"Finished.\r\n\r\nFolders created in "_s + storage +
                                  u"\r\n\r\nDo you now want to sort each file into its catagory?"_s +
                                  (text.isEmpty() ? unread : QString())}));
    }

    // The whole chain: folders, the split into subfolders of 50, and a page for every text in
    // the folder of its category. Starting anything meanwhile is refused; closing stops it.
    // Closing (Ctrl-C in the runner) stops the split at its next file, the pages at their next
    // record: nothing moves or is written after it.
    void sortingFilesEveryPageByCategory_data() { addRows("sorting"); }
    void sortingFilesEveryPageByCategory() {
        QFETCH(QString, watched);
        QFETCH(int, closeAfter);
        QFETCH(int, leftInF);
        Fixture f;
        for (int i = 0; i < 120; ++i) {
            f.addText(u"%1.txt"_s.arg(i), element(i % 3 ? u"Games"_s : u"Home/Hobby"_s));
        }
        f.onYield = [&] {
            if (closeAfter && f.below(watched, QDir::Files).size() == closeAfter) {
                f.workflow.shutDown();
            }
            // Until one gets through, which fails the count below, rather than nesting on.
            if (f.dialogs.texts().count(FirstQuestion) == 1) {
                f.sorting.pressCommand12();
                f.workflow.pressCommand6();
                f.workflow.pressStep1();
            }
        };
        f.sorting.pressCommand12();
        const QStringList pages = f.below(u"F/Category"_s, QDir::Files);
        QVERIFY(f.dialogs.texts().count(FirstQuestion) == 1 && !f.workflow.isRunning() &&
                !f.sorting.splitter());
        QCOMPARE(QDir(f.folder).entryList(QDir::Files).size(), leftInF);
        if (closeAfter) {
            QCOMPARE(f.below(watched, QDir::Files).size(), closeAfter);
            QVERIFY(!f.dialogs.texts().contains(u"finished."_s));
            return;
        }
        QVERIFY(pages.size() == 120 && pages.contains(u"Games/1.html"_s) &&
                pages.contains(u"Home/Hobby/0.html"_s));
        // No summary of failed records before the end: no batch ran on an empty subfolder.
        QCOMPARE(f.dialogs.texts().mid(f.dialogs.texts().size() - 2, 1).first().left(9), u"Finished."_s);
        QCOMPARE(f.dialogs.texts().last(), u"finished."_s);
        QCOMPARE(f.workflow.check3(), 1);
        // Subfolders 0 to 2 hold the texts; the run stops at the empty 3, and the yellow box shows the
        // folder chosen, which index pages are made from next.
        QCOMPARE(QStringList({f.workflow.padTextFolder(), f.workflow.categoryProgress()}),
                 QStringList({f.folder, u"3"_s}));
    }

    void runWithoutAnEstimateStopsAtTheFirstEmptySubfolder() {
        Fixture f;
        QVERIFY(QDir(f.folder).mkpath(u"0"_s) && QDir(f.folder).mkpath(u"Category/Games"_s));
        f.addText(u"0/a.txt"_s, element(u"Games"_s));
        f.workflow.setStorageFolder(f.folder + u"/Category"_s);
        f.workflow.setCheck3(1);
        QCOMPARE(f.below(u"F/Category"_s, QDir::Files), QStringList{u"Games/a.html"_s});
        QVERIFY(f.workflow.categoryProgress() == u"1"_s && f.dialogs.texts() == QStringList{u"finished."_s});
    }
};

QTEST_GUILESS_MAIN(TestCategory)
#include "tst_category.moc"
