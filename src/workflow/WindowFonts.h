#pragma once

#include <QFont>

namespace vt::workflow {

// The windows' font: Verdana where it is installed, otherwise the system's sans-serif face.
inline QFont windowFont(qreal pointSize = 9.75, bool bold = false) {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace vt::workflow
