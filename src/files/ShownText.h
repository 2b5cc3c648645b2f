#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// Text from PAD files and folders shown to a person. A PAD file is written by a stranger: a
// control character in it could retitle or clear a terminal, and a bidirectional control can make
// "evil.exe.html" look like "evil.lmth.exe".
namespace vt::files {

// The invisible controls of text direction: marks, embeddings, overrides and isolates.
bool isBidiControl(QChar c);

// The text with every control character (but LF and CR LF, which lay out a message) and every
// bidirectional control written as an escape: "\x1b", "\u202e".
QString shownText(QStringView text);

} // namespace vt::files
