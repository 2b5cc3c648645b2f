// "Check PAD Files" from the main window's menu: the report window over the PAD text folder, its
// sortable table and the CSV it saves through the dialog seam.
#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QTableWidget>

#include "../support/TestFiles.h"
#include "../support/WindowProgram.h"

using namespace vt::testing;
using vt::app::WindowId;
using namespace Qt::StringLiterals;

namespace {

const QString Texts = QStringLiteral(VELLUMTIDE_TEST_DATA "/check/texts");

// The runner's CSV of the whole folder: its check of one record more than the folder holds, without
// that last row.
QByteArray expectedCsv() {
    QByteArray csv = contentsOf(QStringLiteral(VELLUMTIDE_TEST_DATA "/check/expected.csv"));
    csv.chop(csv.size() - csv.lastIndexOf("\r\n11,") - 2);
    return csv;
}

} // namespace

class TestCheckWindow : public QObject, WindowProgram {
    Q_OBJECT

    void check() { menuEntry(u"Check_PAD_Files"_s)->trigger(); }

private slots:
    void initTestCase() { windows.start(); }

    void noFolderChosen() {
        check();
        QCOMPARE(dialogs.texts().size(), 1);
        QVERIFY(dialogs.texts().constFirst().startsWith(u"Choose the folder of PAD text files"_s));
        QVERIFY(!windows.window(WindowId::CheckWindow));
    }

    void reportSortedAndSaved() {
        workflow.setPadTextFolder(Texts);
        check();
        QWidget* window = windows.window(WindowId::CheckWindow);
        QVERIFY(window && window->isVisible());
        check(); // shown again, not opened twice
        QCOMPARE(windows.window(WindowId::CheckWindow), window);

        // One row per finding of the folder; its cells are what the saved CSV below holds.
        auto* table = window->findChild<QTableWidget*>(u"Findings"_s);
        QCOMPARE(table->rowCount(), expectedCsv().count("\r\n") - 1);
        // A click on a header sorts by that column: the records as numbers, the findings as text.
        QHeaderView* header = table->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(3) + 4, 4});
        QCOMPARE(table->item(0, 3)->text(), u"description empty"_s);
        table->sortByColumn(0, Qt::DescendingOrder);
        QCOMPARE(table->item(0, 0)->text(), u"10"_s);

        QTemporaryDir temp;
        dialogs.files = QStringList{QString(), temp.filePath(u"report.csv"_s)};
        auto* save = window->findChild<QAbstractButton*>(u"SaveCsv"_s);
        save->click(); // cancelled: nothing written
        QVERIFY(filesBelow(temp.path()).isEmpty());
        save->click();
        QCOMPARE(dialogs.filters.last(), u"CSV Files (*.csv) | *.csv"_s);
        QCOMPARE(contentsOf(temp.filePath(u"report.csv"_s)), expectedCsv());
    }
};

QTEST_MAIN(TestCheckWindow)
#include "tst_checkwindow.moc"
