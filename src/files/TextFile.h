#pragma once

#include "files/Outcome.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "platform/FileSystem.h"

// The line rules of the system's text files: Windows-1252 text; a line ends at CR LF or at a
// lone CR, while a lone LF stays inside its line; a text is written whole, followed by CR LF.
namespace vt::files {

// Where lines end: at CR LF or a lone CR, as in every text file; or, in a list of URLs (a URL
// never holds a line break, and lists written on this platform end lines with LF), at a lone
// LF too.
enum class LineEnds { CrOrCrLf, AnyBreak };

// A PAD file is a few KiB: a document larger than this, on disk or downloaded, is refused
// rather than read into memory.
inline constexpr qint64 MaxDocumentBytes = 16 * 1024 * 1024;

// At most maxLines lines; the rest of the bytes is not looked at.
QStringList linesOf(QByteArrayView bytes, qsizetype maxLines = -1, LineEnds ends = LineEnds::CrOrCrLf);

// Only regular files are read: a FIFO, device or socket is refused at once, never waited on.

// The file's lines, each followed by CR LF (the last included); an empty file gives "". A file
// larger than MaxDocumentBytes is refused. The last few texts read are kept with the stamp they
// were read at, and one is given again only while its file still has that stamp.
Result<QString> readTextFile(const QString& path);
// Reads the file into the texts kept, so that a readTextFile of it soon after, from any thread,
// finds it there unless it changed meanwhile.
void readTextAhead(const QString& path);
// The first maxLines lines of a file of any size (a list of URLs).
Result<QStringList> readTextLines(const QString& path, qsizetype maxLines = -1,
                                  LineEnds ends = LineEnds::CrOrCrLf);

// How a text is written: in the system's code page, or (a theme's page) in UTF-8, each character as
// itself.
enum class Encoding { Windows1252, Utf8 };

// The bytes of a text file holding the text: the text encoded, and one CR LF.
QByteArray textFileBytes(QStringView text, Encoding encoding = Encoding::Windows1252);
// Creates or replaces the file with the text and one CR LF, as platform::ReplaceFile does: the old
// file stays whole until the new one is complete, and one that already holds these bytes is left.
Result<platform::FileWrite> writeTextFile(const QString& path, QStringView text,
                                          Encoding encoding = Encoding::Windows1252);

} // namespace vt::files
