#pragma once

#include "files/Outcome.h"
#include "files/TextFile.h"

#include <QByteArray>
#include <QString>

#include "pagegen/TemplateStore.h"
#include "platform/FileSystem.h"

// Step 6 ("Make Web Page") and "Make txt" as operations on the values they read and change.
namespace vt::pagegen {

struct RecordValues {
    QString storageFolder; // where pages and PAD text files go
    QString recordCounter = QStringLiteral("0");
    QString lastRecord;         // the counter stops here in Step 6
    QString padText;            // the PAD text box
    QString currentProgramName; // the page's file name, from the fill
    QString currentCategory;    // the page's folder in category mode, from the fill
    bool categoryMode = false;  // "Convert text files to html files and put in category" ticked
    files::Encoding pageEncoding = files::Encoding::Windows1252; // UTF-8 for a theme's pages
};

// The record counter after a record: the next number; a counter that is no number, or is at the
// top of its range, stays.
QString NextRecord(const QString& recordCounter);
// The record counter after Step 6 made a record's page: the next record, except that the counter
// stays once it has reached the last record.
QString RecordAfterPage(const QString& recordCounter, const QString& lastRecord);

// Writes the filled page, moves the counter on unless it has reached the last record, and
// restores the working template from the master copy. Outside category mode the page's path
// is first appended to the PAD text as a last line. A page that cannot be written is passed
// over (the counter and template still move on) and its failure returned. With no storage
// folder nothing changes at all.
Result<platform::FileWrite> MakeWebPage(RecordValues& values, TemplateStore& templates);

// A page made and not yet written: where it goes, and the bytes of its file.
struct PageFile {
    QString path;
    QByteArray bytes;
};
// MakeWebPage up to its write: the values and template move on just the same, and the page's file
// is given to be written later (WritePageFile), or why it has none.
Result<PageFile> PreparePage(RecordValues& values, TemplateStore& templates);
Result<platform::FileWrite> WritePageFile(const PageFile& file);

// Writes the PAD text as <record counter>.txt, then moves the counter on and restores the
// working template. When the file cannot be written, or no storage folder was chosen,
// nothing changes.
Result<platform::FileWrite> MakeTxt(RecordValues& values, TemplateStore& templates);

} // namespace vt::pagegen
