#pragma once

#include <QString>

namespace vt::pagegen {

// A PAD value as plain text of the page, whether it lands between tags or in a quoted attribute:
// "<", ">", "\"" and "'" become "&lt;", "&gt;", "&quot;" and "&#39;", so a value can neither open a
// tag (a script, a frame) nor leave the attribute it is filled into (an "on...=" handler). An "&"
// becomes "&amp;" unless it begins a character reference ("&amp;", "&eacute;", "&#8364;",
// "&#x20AC;"): PAD files are XML and must write every ampersand of a value that way, and a
// reference cannot open a tag, so such values show as their authors wrote them.
QString EscapeMarkup(const QString& value);

} // namespace vt::pagegen
