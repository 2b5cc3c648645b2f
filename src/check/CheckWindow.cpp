#include "check/CheckWindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "check/CheckReport.h"
#include "check/CheckSources.h"
#include "files/ShownText.h"
#include "platform/ScreenFit.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

namespace vt::check {
namespace {

using namespace Qt::StringLiterals;

const QString Caption = u"Check PAD Files"_s;
const QStringList Headers = {u"Record"_s, u"File"_s,     u"Program Name"_s, u"Finding"_s,
                             u"Field"_s,  u"Severity"_s, u"Detail"_s};
const QString CsvFilter = u"CSV Files (*.csv) | *.csv"_s;
const QString NotSavedMessage = u"The report could not be saved.\r\n\r\n%1"_s;

// A cell as the user sees it: control characters of a PAD value escaped, sorted as text.
QTableWidgetItem* textItem(const QString& text) {
    auto* item = new QTableWidgetItem(files::shownText(text));
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

CheckWindow::CheckWindow(platform::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , m_dialogs(dialogs)
    , m_summary(new QLabel(this))
    , m_table(new QTableWidget(0, int(Headers.size()), this)) {
    setObjectName(u"CheckWindow"_s);
    setWindowTitle(Caption);
    setAttribute(Qt::WA_DeleteOnClose);
    m_summary->setObjectName(u"Summary"_s);
    m_table->setObjectName(u"Findings"_s);
    m_table->setHorizontalHeaderLabels(Headers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* save = new QPushButton(u"Save as CSV..."_s, this);
    save->setObjectName(u"SaveCsv"_s);
    connect(save, &QPushButton::clicked, this, &CheckWindow::saveCsv);

    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_table);
    layout->addWidget(save, 0, Qt::AlignRight);
    platform::PlaceOnScreen(this, {1200, 540});
}

void CheckWindow::showReport(const QString& folder, const CheckRun& run) {
    m_findings = run.findings;
    m_summary->setText(files::shownText(folder) + u": "_s + SummaryLine(run.findings, run.checked));
    // Rows keep their places while they are filled; the user sorts them afterwards.
    m_table->setSortingEnabled(false);
    m_table->setRowCount(int(m_findings.size()));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const Finding& finding = m_findings[std::size_t(row)];
        auto* record = new QTableWidgetItem;
        record->setData(Qt::DisplayRole, finding.record); // sorted as a number
        record->setFlags(record->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(row, 0, record);
        m_table->setItem(row, 1, textItem(finding.file));
        m_table->setItem(row, 2, textItem(finding.programName));
        m_table->setItem(row, 3, textItem(finding.finding));
        m_table->setItem(row, 4, textItem(finding.field));
        m_table->setItem(row, 5, textItem(severityName(finding.severity)));
        m_table->setItem(row, 6, textItem(finding.detail));
    }
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(0, Qt::AscendingOrder);
    // After the sort, so each header has room for its sort arrow.
    m_table->resizeColumnsToContents();
}

// The report as the runner's --format csv writes it, in the order the records were checked.
void CheckWindow::saveCsv() {
    const std::optional<QString> file = m_dialogs.saveFile(CsvFilter);
    if (!file) {
        return;
    }
    if (const auto saved = platform::ReplaceFile(*file, CsvReport(m_findings)); !saved) {
        m_dialogs.message(NotSavedMessage.arg(saved.message()), platform::MessageButtons::Ok,
                          platform::MessageIcon::Exclamation);
    }
}

} // namespace vt::check
