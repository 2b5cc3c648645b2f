#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "check/Findings.h"

// The findings of a check written out: a table for a person, CSV and JSON for scripts.
namespace vt::check {

// The columns of every report, in order.
inline const QStringList ReportColumns = {QStringLiteral("record"),       QStringLiteral("file"),
                                          QStringLiteral("program name"), QStringLiteral("finding"),
                                          QStringLiteral("field"),        QStringLiteral("severity"),
                                          QStringLiteral("detail")};

// One line per finding under a header, then one line per finding name found, with its count,
// and the total. Control characters of PAD values are shown escaped.
QString TextReport(const std::vector<Finding>& findings, int recordsChecked);

// "15 findings in 12 records checked: 8 errors, 7 warnings": the last line of the text report.
QString SummaryLine(const std::vector<Finding>& findings, int recordsChecked);

// RFC 4180: a header line, then one line per finding; every line ends with CR LF, and a field
// holding a comma, quote or line break is quoted, its quotes doubled. A field beginning with
// "=", "+", "-", "@", a tab or a CR first gets a leading "'", so a spreadsheet never runs a PAD
// value as a formula. UTF-8.
QByteArray CsvReport(const std::vector<Finding>& findings);

// {"records": <checked>, "findings": [{"record": 3, "file": "3.txt", "program_name": ..., ...}]}, UTF-8.
QByteArray JsonReport(const std::vector<Finding>& findings, int recordsChecked);

// Whether any finding is an error.
bool HasError(const std::vector<Finding>& findings);

} // namespace vt::check
