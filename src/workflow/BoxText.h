#pragma once

#include <QString>

namespace vt::workflow {

// A multi-line text box shows every line end (CR LF, lone CR, lone LF) as one line break, and a
// text typed into it ends its lines with CR LF, as every text of the system does.
inline QString toBoxText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

inline QString fromBoxText(QString text) {
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

} // namespace vt::workflow
