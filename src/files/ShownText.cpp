#include "files/ShownText.h"

namespace vt::files {

bool isBidiControl(QChar c) {
    const char16_t u = c.unicode();
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

QString shownText(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        const bool lineBreak = u == u'\n' || (u == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n');
        const bool control = (u < 0x20 && !lineBreak) || (u >= 0x7F && u <= 0x9F);
        if (control) {
            shown += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        } else if (isBidiControl(c)) {
            shown += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        } else {
            shown += c;
        }
    }
    return shown;
}

} // namespace vt::files
