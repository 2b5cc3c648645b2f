#pragma once

#include <QString>
#include <QStringList>

// What the PAD check reports: one row per thing a record would get wrong on its page.
namespace vt::check {

// An error loses the record's page or puts something unsafe on it; a warning makes a poor one.
enum class Severity { Error, Warning };

struct Finding {
    int record = 0;      // the record number, as the batch numbers it
    QString file;        // the PAD text file it is read from (as listed), or the address it is loaded from
    QString programName; // the record's Program_Name, "" when it has none or was not read
    QString finding;     // one of the names below
    QString field;       // the PAD tag it is about, without brackets; "" for the record as a whole
    Severity severity = Severity::Error;
    QString detail; // what is wrong, for a person
};

// The names of the findings, in the order a report counts them.
namespace finding {
inline const QString NotLoaded = QStringLiteral("not loaded");
inline const QString NoPage = QStringLiteral("no page");
inline const QString PageLost = QStringLiteral("page lost");
inline const QString UnsafeValue = QStringLiteral("unsafe value");
inline const QString NotWebAddress = QStringLiteral("not a web address");
inline const QString DescriptionTooLong = QStringLiteral("description too long");
inline const QString DescriptionEmpty = QStringLiteral("description empty");
inline const QString UnofficialCategory = QStringLiteral("unofficial category");

inline const QStringList InReportOrder = {
    NotLoaded,          NoPage,           PageLost,          UnsafeValue, NotWebAddress,
    DescriptionTooLong, DescriptionEmpty, UnofficialCategory};
} // namespace finding

inline QString severityName(Severity severity) {
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

} // namespace vt::check
