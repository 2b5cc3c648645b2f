#include "check/CheckReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "files/ShownText.h"

namespace vt::check {
namespace {

using namespace Qt::StringLiterals;

// A long program name is cut in the table; the detail, last on its line, never is.
constexpr qsizetype MaxNameColumn = 32;

// The characters a spreadsheet takes as the start of a formula in a cell of a CSV file it opens.
const QString FormulaStarts = u"=+-@\t\r"_s;

QStringList cellsOf(const Finding& finding) {
    return {
        QString::number(finding.record), finding.file,  finding.programName, finding.finding, finding.field,
        severityName(finding.severity),  finding.detail};
}

// On one line of a table: controls escaped, line breaks too.
QString tableCell(const QString& value) {
    return files::shownText(value).replace(u'\r', u"\\r"_s).replace(u'\n', u"\\n"_s);
}

// A cell a spreadsheet would run as a formula (or as the start of one) begins with a quote, which
// the spreadsheet takes for "this is text" and does not show.
bool startsFormula(const QString& value) {
    return !value.isEmpty() && FormulaStarts.contains(value.front());
}

QString csvField(const QString& value) {
    const QString cell = startsFormula(value) ? u'\'' + value : value;
    if (!cell.contains(u',') && !cell.contains(u'"') && !cell.contains(u'\r') && !cell.contains(u'\n')) {
        return cell;
    }
    return u'"' + QString(cell).replace(u'"', u"\"\""_s) + u'"';
}

QString counted(qsizetype count, const QString& one) {
    return u"%1 %2%3"_s.arg(count).arg(one, count == 1 ? QString() : u"s"_s);
}

// The findings under a header, in columns as wide as their widest cell; the detail, last, is
// not padded.
QString tableOf(const std::vector<Finding>& findings) {
    std::vector<QStringList> rows = {ReportColumns};
    for (const Finding& finding : findings) {
        QStringList cells;
        for (const QString& cell : cellsOf(finding)) {
            cells += tableCell(cell);
        }
        if (cells[2].size() > MaxNameColumn) {
            cells[2] = cells[2].left(MaxNameColumn - 3) + u"..."_s;
        }
        rows.push_back(cells);
    }
    std::vector<qsizetype> widths(ReportColumns.size() - 1, 0);
    for (const QStringList& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column) {
            widths[column] = std::max(widths[column], row[qsizetype(column)].size());
        }
    }
    QString text;
    for (const QStringList& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column) {
            text += row[qsizetype(column)].leftJustified(widths[column]) + u"  "_s;
        }
        text += row.back() + u'\n';
    }
    return text;
}

} // namespace

bool HasError(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.severity == Severity::Error; });
}

QString TextReport(const std::vector<Finding>& findings, int recordsChecked) {
    QString text = findings.empty() ? QString() : tableOf(findings) + u'\n';
    for (const QString& name : finding::InReportOrder) {
        const auto count = std::count_if(findings.begin(), findings.end(),
                                         [&](const Finding& f) { return f.finding == name; });
        if (count > 0) {
            text += u"%1: %2\n"_s.arg(name).arg(count);
        }
    }
    return text + SummaryLine(findings, recordsChecked) + u'\n';
}

QString SummaryLine(const std::vector<Finding>& findings, int recordsChecked) {
    const auto errors = std::count_if(findings.begin(), findings.end(),
                                      [](const Finding& f) { return f.severity == Severity::Error; });
    return u"%1 in %2 checked: %3, %4"_s.arg(
        counted(qsizetype(findings.size()), u"finding"_s), counted(recordsChecked, u"record"_s),
        counted(errors, u"error"_s), counted(qsizetype(findings.size()) - errors, u"warning"_s));
}

QByteArray CsvReport(const std::vector<Finding>& findings) {
    QString csv = ReportColumns.join(u',') + u"\r\n"_s;
    for (const Finding& finding : findings) {
        QStringList fields;
        for (const QString& cell : cellsOf(finding)) {
            fields += csvField(cell);
        }
        csv += fields.join(u',') + u"\r\n"_s;
    }
    return csv.toUtf8();
}

QByteArray JsonReport(const std::vector<Finding>& findings, int recordsChecked) {
    QJsonArray rows;
    for (const Finding& finding : findings) {
        rows.append(QJsonObject{{u"record"_s, finding.record},
                                {u"file"_s, finding.file},
                                {u"program_name"_s, finding.programName},
                                {u"finding"_s, finding.finding},
                                {u"field"_s, finding.field},
                                {u"severity"_s, severityName(finding.severity)},
                                {u"detail"_s, finding.detail}});
    }
    return QJsonDocument(QJsonObject{{u"records"_s, recordsChecked}, {u"findings"_s, rows}})
        .toJson(QJsonDocument::Indented);
}

} // namespace vt::check
