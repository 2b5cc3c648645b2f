#include "theme/PadElements.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace vt::theme {
namespace {

using namespace Qt::StringLiterals;

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.' || c == u':';
}

// Names by length first: most tag names are told from a name by their length alone.
bool shorterOrBefore(QStringView a, QStringView b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
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
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf(u'&'); at >= 0; at = text.indexOf(u'&', at + 1)) {
        // A reference is short: "&#x10FFFF;" is the longest of those resolved.
        const QStringView near = text.sliced(at, std::min<qsizetype>(text.size() - at, 11));
        const qsizetype end = near.indexOf(u';');
        if (end > 0) {
            if (const std::optional<QString> character = referenced(near.sliced(1, end - 1))) {
                resolved += text.sliced(copied, at - copied);
                resolved += *character;
                copied = at + end + 1;
                at = copied - 1;
            }
        }
    }
    resolved += text.sliced(copied);
    return resolved;
}

// The text of an element's raw content, or none when markup stands outside its CDATA sections
// (an element holding elements, or a value cut short by a stray tag) and markup is refused.
std::optional<QString> textOf(QStringView raw, bool refuseMarkup) {
    // Most values hold no markup at all.
    if (!raw.contains(u'<')) {
        return resolvedReferences(raw);
    }
    const QStringView cdataOpen = u"<![CDATA[";
    const QStringView cdataClose = u"]]>";
    QString text;
    qsizetype from = 0;
    // An element holding elements is refused before any of its text is resolved.
    const auto addPlain = [&](QStringView plain) {
        if (refuseMarkup && plain.contains(u'<')) {
            return false;
        }
        text += resolvedReferences(plain);
        return true;
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

// The raw content of the element whose open tag ends where `rest` begins, up to the first close
// tag of its name; none when it has no close tag or when markup other than a CDATA section comes
// first (an element holding elements, whose text is refused), so only a value's close tag is ever
// looked for, and a value is found in one short step when no CDATA section comes first.
std::optional<QStringView> textContent(QStringView rest, QStringView name) {
    const qsizetype markup = rest.indexOf(u'<');
    const QStringView first = markup < 0 ? QStringView() : rest.sliced(markup);
    if (first.startsWith(u"</") && first.sliced(2).startsWith(name) && first.size() > name.size() + 2 &&
        first[name.size() + 2] == u'>') {
        return rest.first(markup);
    }
    if (!first.startsWith(u"<![CDATA[")) {
        return std::nullopt;
    }
    const qsizetype close = rest.indexOf(QString(u"</"_s + name.toString() + u'>'));
    return close < 0 ? std::nullopt : std::optional(rest.first(close));
}

} // namespace

QString ResolvedXmlText(QStringView raw) {
    return *textOf(raw, false);
}

ElementNames::ElementNames(QStringList names)
    : m_names(std::move(names)) {
    std::sort(m_names.begin(), m_names.end(), shorterOrBefore);
    m_names.erase(std::unique(m_names.begin(), m_names.end()), m_names.end());
}

qsizetype ElementNames::indexOf(QStringView name) const {
    const auto found = std::lower_bound(m_names.cbegin(), m_names.cend(), name, shorterOrBefore);
    return found != m_names.cend() && *found == name ? found - m_names.cbegin() : -1;
}

QHash<QString, QString> PadElements(QStringView padText, const ElementNames& names) {
    // Of each name only the first open tag counts, whether or not its element holds text.
    std::vector<bool> seen(std::size_t(names.size()), false);
    qsizetype unseen = names.size();
    QHash<QString, QString> elements;
    for (qsizetype at = padText.indexOf(u'<'); at >= 0 && unseen > 0; at = padText.indexOf(u'<', at + 1)) {
        const QStringView name = openTagAt(padText, at);
        const qsizetype place = name.isEmpty() ? -1 : names.indexOf(name);
        if (place < 0 || seen[std::size_t(place)]) {
            continue;
        }
        seen[std::size_t(place)] = true;
        --unseen;
        const std::optional<QStringView> content = textContent(padText.sliced(at + name.size() + 2), name);
        if (const std::optional<QString> text = content ? textOf(*content, true) : std::nullopt) {
            if (QString trimmed = text->trimmed(); !trimmed.isEmpty()) {
                elements.insert(names.at(place), std::move(trimmed));
            }
        }
    }
    return elements;
}

} // namespace vt::theme
