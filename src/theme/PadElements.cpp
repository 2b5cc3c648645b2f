#include "theme/PadElements.h"

#include <QSet>

#include <optional>

#include "pagegen/TemplateFill.h"

namespace vt::theme {
namespace {

using namespace Qt::StringLiterals;

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.' || c == u':';
}

// The name of the open tag "<Name>" at `at`, or "" when no such tag starts there.
QStringView openTagAt(QStringView text, qsizetype at) {
    qsizetype end = at + 1;
    if (end >= text.size() || !isNameStart(text[end])) {
        return {};
    }
    while (end < text.size() && isNameChar(text[end])) {
        ++end;
    }
    return end < text.size() && text[end] == u'>' ? text.sliced(at + 1, end - at - 1) : QStringView();
}

// The character a reference names ("amp", "#38", "#x26"), or none.
std::optional<QString> referenced(QStringView name) {
    static const QHash<QString, QString> named = {
        {u"amp"_s, u"&"_s}, {u"lt"_s, u"<"_s}, {u"gt"_s, u">"_s}, {u"quot"_s, u"\""_s}, {u"apos"_s, u"'"_s}};
    if (name.startsWith(u'#')) {
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        bool number = false;
        const uint code = name.sliced(hex ? 2 : 1).toUInt(&number, hex ? 16 : 10);
        // A character XML allows: no NUL, no lone surrogate, nothing past U+10FFFF.
        if (!number || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        const char32_t character = code;
        return QString::fromUcs4(&character, 1);
    }
    const auto found = named.constFind(name.toString());
    return found == named.cend() ? std::nullopt : std::optional(*found);
}

QString resolvedReferences(QStringView text) {
    QString resolved;
    resolved.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const qsizetype end = text[at] == u'&' ? text.indexOf(u';', at) : -1;
        // A reference is short: "&#x10FFFF;" is the longest of those resolved.
        if (end > at && end - at <= 10) {
            if (const std::optional<QString> character = referenced(text.sliced(at + 1, end - at - 1))) {
                resolved += *character;
                at = end;
                continue;
            }
        }
        resolved += text[at];
    }
    return resolved;
}

// The text of an element's raw content, or none when markup stands outside its CDATA sections
// (an element holding elements, or a value cut short by a stray tag) and markup is refused.
std::optional<QString> textOf(QStringView raw, bool refuseMarkup) {
    const QStringView cdataOpen = u"<![CDATA[";
    const QStringView cdataClose = u"]]>";
    QString text;
    qsizetype from = 0;
    const auto addPlain = [&](QStringView plain) {
        text += resolvedReferences(plain);
        return !refuseMarkup || !plain.contains(u'<');
    };
    for (qsizetype open = raw.indexOf(cdataOpen); open >= 0; open = raw.indexOf(cdataOpen, from)) {
        const qsizetype close = raw.indexOf(cdataClose, open + cdataOpen.size());
        if (close < 0 || !addPlain(raw.sliced(from, open - from))) {
            break;
        }
        text += raw.sliced(open + cdataOpen.size(), close - open - cdataOpen.size());
        from = close + cdataClose.size();
    }
    return addPlain(raw.sliced(from)) ? std::optional(text) : std::nullopt;
}

} // namespace

QString ResolvedXmlText(QStringView raw) {
    return *textOf(raw, false);
}

QHash<QString, QString> PadElements(QStringView padText) {
    QHash<QString, QString> elements;
    QSet<QStringView> seen;
    for (qsizetype at = padText.indexOf(u'<'); at >= 0; at = padText.indexOf(u'<', at + 1)) {
        const QStringView name = openTagAt(padText, at);
        if (name.isEmpty() || seen.contains(name)) {
            continue;
        }
        seen.insert(name);
        const QString raw =
            pagegen::valueBefore(padText.sliced(at + name.size() + 2), u"</"_s + name.toString() + u'>');
        if (std::optional<QString> text = textOf(raw, true); text && !text->trimmed().isEmpty()) {
            elements.insert(name.toString(), text->trimmed());
        }
    }
    return elements;
}

} // namespace vt::theme
