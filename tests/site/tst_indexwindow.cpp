// "Make Index Pages" from the main window's menu: the site URL asked through the dialog seam and
// remembered, a wrong one refused, and the index pages of the PAD text folder's Category folder.
#include <QAction>
#include <QStandardPaths>

#include "../support/TestFiles.h"
#include "../support/WindowProgram.h"

using namespace vt::testing;
using vt::platform::MessageIcon;
using namespace Qt::StringLiterals;

class TestIndexWindow : public QObject, WindowProgram {
    Q_OBJECT

    void makeIndexPages() {
        dialogs.shown.clear();
        menuEntry(u"Make_Index_Pages"_s)->trigger();
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      u"/Vellumtide/Vellumtide.conf"_s);
        windows.start();
    }

    void askedRefusedMadeAndRemembered() {
        makeIndexPages();
        QVERIFY(dialogs.texts().constFirst().startsWith(u"Choose the PAD text folder"_s));
        QVERIFY(dialogs.offered.isEmpty());

        QTemporaryDir temp;
        writeBytes(temp.filePath(u"0.txt"_s), "<Program_Name>Solo</Program_Name>");
        // A folder without pages: the refusal names the window's own way to make them.
        workflow.setPadTextFolder(temp.path());
        dialogs.typed = QStringList{u"https://www.example.com/"_s};
        makeIndexPages();
        QVERIFY2(dialogs.texts().last().contains(u"(\"Make Web Pages and Sort by Category\" to file them"_s),
                 qPrintable(dialogs.texts().last()));
        QVERIFY(QDir(temp.path()).mkpath(u"Category/Games"_s));
        writeBytes(temp.filePath(u"Category/Games/Solo.html"_s), "page");
        workflow.setPadTextFolder(temp.path());
        dialogs.typed = QStringList{u"www.example.com"_s};
        makeIndexPages();
        QCOMPARE(dialogs.shown.back().icon, MessageIcon::Exclamation);
        QVERIFY(dialogs.texts().last().contains(u"not an absolute http or https address"_s));
        QCOMPARE(filesBelow(temp.path()).size(), 2);

        dialogs.typed = QStringList{u"https://www.example.com/"_s};
        makeIndexPages();
        QCOMPARE(dialogs.shown.back().icon, MessageIcon::Information);
        QVERIFY(dialogs.texts().last().startsWith(u"Wrote 2 index pages for 1 pages"_s));
        QVERIFY(contentsOf(temp.filePath(u"Category/sitemap.xml"_s))
                    .contains("https://www.example.com/Category/Games/Solo.html"));

        makeIndexPages(); // cancelled: nothing more is shown
        QCOMPARE(dialogs.offered,
                 QStringList({QString(), u"https://www.example.com/"_s, u"https://www.example.com/"_s,
                              u"https://www.example.com/"_s}));
        QCOMPARE(dialogs.shown.size(), std::size_t(1));
    }

    // An index template of the user's, picked once and used by every later run until the default
    // is chosen again; a file that is no template is never taken, and one gone since makes nothing.
    void ownIndexTemplate() {
        QTemporaryDir temp;
        QVERIFY(QDir(temp.path()).mkpath(u"Category/Games"_s));
        writeBytes(temp.filePath(u"Category/Games/Solo.html"_s), "page");
        const QString own = temp.filePath(u"own.html"_s);
        writeBytes(own, "Own IndexTitleXXX<!--BeginProgramRow--> ProgramNameXXX<!--EndProgramRow-->");
        const QString broken = temp.filePath(u"broken.html"_s);
        writeBytes(broken, "<!--EndProgramRow--><!--BeginProgramRow-->");
        workflow.setPadTextFolder(temp.path());
        const QString games = temp.filePath(u"Category/Games/index.html"_s);
        const auto make = [&] {
            dialogs.typed = QStringList{u"https://www.example.com"_s};
            makeIndexPages();
        };

        dialogs.files = QStringList{QString(), broken, own};
        menuEntry(u"Choose_Index_Template"_s)->trigger(); // cancelled
        menuEntry(u"Choose_Index_Template"_s)->trigger();
        QCOMPARE(dialogs.filters.last(), u"HTML Files (*.html) | *.html"_s);
        QVERIFY(dialogs.texts().last().startsWith(u"The file cannot be used as the index template"_s));
        make();
        QVERIFY(dialogs.texts().constFirst().endsWith(u"with the default index template."_s));
        QVERIFY(contentsOf(games).startsWith("<!DOCTYPE"));

        menuEntry(u"Choose_Index_Template"_s)->trigger();
        make();
        QVERIFY(dialogs.texts().constFirst().endsWith(u"with the index template %1."_s.arg(own)));
        QCOMPARE(contentsOf(games), "Own Games Solo\r\n<!-- index page -->\r\n");

        QVERIFY(QFile::remove(own));
        QVERIFY(QFile::remove(games));
        make();
        QCOMPARE(dialogs.shown.size(), std::size_t(1));
        QVERIFY(dialogs.texts().constFirst().startsWith(u"No index page was written"_s));
        QVERIFY(dialogs.texts().constFirst().contains(own));
        QVERIFY(!QFile::exists(games));

        menuEntry(u"Default_Index_Template"_s)->trigger();
        make();
        QVERIFY(contentsOf(games).startsWith("<!DOCTYPE"));
    }

    // Options > Theme, remembered: a folder that is no theme is refused and the theme stays; the
    // batch makes the chosen theme's pages and copies its files, Make Index Pages its index and
    // feed; a theme folder is read again for each run, and one broken since refuses the run.
    void chosenTheme() {
        QTemporaryDir temp;
        const QString texts = temp.filePath(u"texts"_s), site = temp.filePath(u"site"_s);
        const QString own = temp.filePath(u"own"_s);
        QVERIFY(QDir().mkpath(texts) && QDir().mkpath(site) && QDir().mkpath(own));
        const QByteArray pad =
            "<Program_Name>Solo</Program_Name><Program_Release_Year>2024</Program_Release_Year>"
            "<Program_Release_Month>5</Program_Release_Month><Program_Release_Day>1"
            "</Program_Release_Day>";
        writeBytes(texts + u"/0.txt"_s, pad);
        dialogs.shown.clear();
        dialogs.folders = QStringList{own};
        menuEntry(u"Theme_Folder"_s)->trigger();
        QVERIFY(dialogs.texts().last().startsWith(u"The folder cannot be used as a theme"_s));
        QVERIFY(menuEntry(u"Theme_Classic"_s)->isChecked());
        menuEntry(u"Theme_Modern"_s)->trigger();
        workflow.setCheck2(1);
        workflow.choosePadTextFolder(texts);
        workflow.setStorageFolder(site);
        workflow.pressCommand6();
        QVERIFY(contentsOf(site + u"/Solo.html"_s).contains("<meta charset=\"utf-8\">"));
        QCOMPARE(contentsOf(site + u"/style.css"_s), contentsOf(u":/themes/modern/style.css"_s));
        writeBytes(site + u"/0.txt"_s, pad);
        workflow.setPadTextFolder(site);
        dialogs.typed = QStringList{u"https://www.example.com"_s};
        makeIndexPages();
        QVERIFY(dialogs.texts().constFirst().endsWith(u"with the theme modern."_s));
        QVERIFY(contentsOf(site + u"/feed.xml"_s).contains("<id>https://www.example.com/Solo.html</id>"));

        writeBytes(own + u"/page.html"_s, "{{Program_Name}} one");
        dialogs.folders = QStringList{own};
        menuEntry(u"Theme_Folder"_s)->trigger();
        QVERIFY(menuEntry(u"Theme_Folder"_s)->isChecked());
        workflow.setPadTextFolder(texts);
        for (const QByteArray& page : {QByteArray("one"), QByteArray("two")}) {
            writeBytes(own + u"/page.html"_s, "{{Program_Name}} " + page);
            workflow.pressCommand6();
            QCOMPARE(contentsOf(site + u"/Solo.html"_s), "Solo " + page + "\r\n");
        }
        writeBytes(own + u"/page.html"_s, "{{#open}}");
        dialogs.shown.clear();
        workflow.pressCommand6();
        QVERIFY2(dialogs.texts().last().contains(own + u"/page.html"_s), qPrintable(dialogs.texts().last()));
        QCOMPARE(contentsOf(site + u"/Solo.html"_s), "Solo two\r\n");
        menuEntry(u"Theme_Classic"_s)->trigger();
    }
};

QTEST_MAIN(TestIndexWindow)
#include "tst_indexwindow.moc"
