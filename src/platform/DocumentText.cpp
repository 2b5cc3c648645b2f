#include "platform/DocumentText.h"

#include <QStringList>

#include <array>
#include <optional>

#include "files/Windows1252.h"
#include "platform/BodyDecoding.h"

namespace vt::platform {

using namespace Qt::StringLiterals;
namespace {

enum class DocumentKind { Xml, Html, Text };

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isNameChar(QChar c) {
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'_' || c == u':' || c == u'.' || c == u'-';
}

bool isHtmlSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

QStringView skipHtmlSpace(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && isHtmlSpace(text[i])) {
        ++i;
    }
    return text.sliced(i);
}

// Elements an HTML page may begin with; a document beginning with any other element is XML.
bool isHtmlStartElement(const QString& name) {
    static const QStringList names = {
        u"html"_s,  u"head"_s, u"body"_s, u"title"_s, u"meta"_s,   u"link"_s,     u"base"_s,    u"script"_s,
        u"style"_s, u"div"_s,  u"p"_s,    u"table"_s, u"center"_s, u"font"_s,     u"h1"_s,      u"h2"_s,
        u"h3"_s,    u"h4"_s,   u"h5"_s,   u"h6"_s,    u"br"_s,     u"hr"_s,       u"a"_s,       u"b"_s,
        u"i"_s,     u"u"_s,    u"span"_s, u"img"_s,   u"form"_s,   u"frameset"_s, u"iframe"_s,  u"noscript"_s,
        u"pre"_s,   u"ul"_s,   u"ol"_s,   u"main"_s,  u"header"_s, u"nav"_s,      u"section"_s, u"article"_s};
    return names.contains(name.toLower());
}

DocumentKind kindOf(const QString& contentType, QStringView text) {
    const QString type = contentType.section(u';', 0, 0).trimmed().toLower();
    if (type.contains(u"xml"_s)) {
        return DocumentKind::Xml;
    }
    const QStringView start = skipHtmlSpace(text);
    if (start.startsWith(u"<?xml"_s)) {
        return DocumentKind::Xml;
    }
    if (start.startsWith(u"<!doctype"_s, Qt::CaseInsensitive)) {
        const QStringView rest = skipHtmlSpace(start.sliced(9));
        return rest.startsWith(u"html"_s, Qt::CaseInsensitive) ? DocumentKind::Html : DocumentKind::Xml;
    }
    if (start.size() > 1 && start[0] == u'<' && (isAsciiLetter(start[1]) || start[1] == u'_')) {
        qsizetype end = 1;
        while (end < start.size() && isNameChar(start[end])) {
            ++end;
        }
        return isHtmlStartElement(start.sliced(1, end - 1).toString()) ? DocumentKind::Html
                                                                       : DocumentKind::Xml;
    }
    if (type.contains(u"html"_s) || (type.isEmpty() && start.startsWith(u'<'))) {
        return DocumentKind::Html;
    }
    return DocumentKind::Text;
}

// ---- The visible text of an HTML page --------------------------------------------------------

// Names of the Latin-1 entities, in the order of their characters from U+00A0 on.
constexpr std::array<QStringView, 96> Latin1Entities = {
    u"nbsp",   u"iexcl",  u"cent",   u"pound",  u"curren", u"yen",    u"brvbar", u"sect",   u"uml",
    u"copy",   u"ordf",   u"laquo",  u"not",    u"shy",    u"reg",    u"macr",   u"deg",    u"plusmn",
    u"sup2",   u"sup3",   u"acute",  u"micro",  u"para",   u"middot", u"cedil",  u"sup1",   u"ordm",
    u"raquo",  u"frac14", u"frac12", u"frac34", u"iquest", u"Agrave", u"Aacute", u"Acirc",  u"Atilde",
    u"Auml",   u"Aring",  u"AElig",  u"Ccedil", u"Egrave", u"Eacute", u"Ecirc",  u"Euml",   u"Igrave",
    u"Iacute", u"Icirc",  u"Iuml",   u"ETH",    u"Ntilde", u"Ograve", u"Oacute", u"Ocirc",  u"Otilde",
    u"Ouml",   u"times",  u"Oslash", u"Ugrave", u"Uacute", u"Ucirc",  u"Uuml",   u"Yacute", u"THORN",
    u"szlig",  u"agrave", u"aacute", u"acirc",  u"atilde", u"auml",   u"aring",  u"aelig",  u"ccedil",
    u"egrave", u"eacute", u"ecirc",  u"euml",   u"igrave", u"iacute", u"icirc",  u"iuml",   u"eth",
    u"ntilde", u"ograve", u"oacute", u"ocirc",  u"otilde", u"ouml",   u"divide", u"oslash", u"ugrave",
    u"uacute", u"ucirc",  u"uuml",   u"yacute", u"thorn",  u"yuml",
};

struct NamedEntity {
    QStringView name;
    char16_t character;
};

constexpr std::array<NamedEntity, 45> OtherEntities = {{
    {u"quot", 0x22},     {u"amp", 0x26},      {u"apos", 0x27},     {u"lt", 0x3C},       {u"gt", 0x3E},
    {u"OElig", 0x152},   {u"oelig", 0x153},   {u"Scaron", 0x160},  {u"scaron", 0x161},  {u"Yuml", 0x178},
    {u"fnof", 0x192},    {u"circ", 0x2C6},    {u"tilde", 0x2DC},   {u"ensp", 0x2002},   {u"emsp", 0x2003},
    {u"thinsp", 0x2009}, {u"zwnj", 0x200C},   {u"zwj", 0x200D},    {u"lrm", 0x200E},    {u"rlm", 0x200F},
    {u"ndash", 0x2013},  {u"mdash", 0x2014},  {u"lsquo", 0x2018},  {u"rsquo", 0x2019},  {u"sbquo", 0x201A},
    {u"ldquo", 0x201C},  {u"rdquo", 0x201D},  {u"bdquo", 0x201E},  {u"dagger", 0x2020}, {u"Dagger", 0x2021},
    {u"bull", 0x2022},   {u"hellip", 0x2026}, {u"permil", 0x2030}, {u"prime", 0x2032},  {u"Prime", 0x2033},
    {u"lsaquo", 0x2039}, {u"rsaquo", 0x203A}, {u"euro", 0x20AC},   {u"trade", 0x2122},  {u"larr", 0x2190},
    {u"uarr", 0x2191},   {u"rarr", 0x2192},   {u"darr", 0x2193},   {u"harr", 0x2194},   {u"hearts", 0x2665},
}};

std::optional<char32_t> namedEntity(QStringView name) {
    for (std::size_t i = 0; i < Latin1Entities.size(); ++i) {
        if (Latin1Entities[i] == name) {
            return char32_t(0xA0 + i);
        }
    }
    for (const NamedEntity& entity : OtherEntities) {
        if (entity.name == name) {
            return entity.character;
        }
    }
    return std::nullopt;
}

// A numeric reference to nothing valid reads as U+FFFD; 0x80-0x9F read as the Windows-1252
// characters of those bytes, as browsers read them.
char32_t numericCharacter(quint32 value) {
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0xFFFD;
    }
    if (value >= 0x80 && value <= 0x9F) {
        const char byte = char(value);
        return files::decodeWindows1252(QByteArrayView(&byte, 1)).at(0).unicode();
    }
    return value;
}

// Builds the visible text: runs of white space fold into one space (except inside <pre>), block
// elements start a new line, <br> always breaks. Lines end with CR LF, as the system's texts do.
class VisibleText {
public:
    void character(char32_t c) {
        if (m_preDepth == 0 && c < 0x80 && isHtmlSpace(QChar(char16_t(c)))) {
            m_pendingSpace = true;
            return;
        }
        if (m_pendingSpace && !m_out.isEmpty() && !m_out.endsWith(u'\n')) {
            m_out += u' ';
        }
        m_pendingSpace = false;
        m_out += QString::fromUcs4(&c, 1);
    }
    void blockBoundary() {
        m_pendingSpace = false;
        if (!m_out.isEmpty() && !m_out.endsWith(u'\n')) {
            m_out += u"\r\n"_s;
        }
    }
    void lineBreak() {
        m_pendingSpace = false;
        m_out += u"\r\n"_s;
    }
    void cellBoundary() { m_pendingSpace = true; }
    void enterPre() { ++m_preDepth; }
    void leavePre() { m_preDepth = qMax(0, m_preDepth - 1); }
    QString text() const { return m_out.trimmed(); }

private:
    QString m_out;
    bool m_pendingSpace = false;
    int m_preDepth = 0;
};

bool isBlockElement(const QString& name) {
    static const QStringList names = {
        u"address"_s, u"article"_s, u"aside"_s, u"blockquote"_s, u"body"_s,   u"center"_s, u"dd"_s,
        u"div"_s,     u"dl"_s,      u"dt"_s,    u"fieldset"_s,   u"figure"_s, u"footer"_s, u"form"_s,
        u"h1"_s,      u"h2"_s,      u"h3"_s,    u"h4"_s,         u"h5"_s,     u"h6"_s,     u"header"_s,
        u"hr"_s,      u"html"_s,    u"li"_s,    u"main"_s,       u"nav"_s,    u"ol"_s,     u"p"_s,
        u"section"_s, u"table"_s,   u"tbody"_s, u"tfoot"_s,      u"thead"_s,  u"tr"_s,     u"ul"_s};
    return names.contains(name);
}

// Elements whose content is never shown.
bool isHiddenElement(const QString& name) {
    return name == u"script"_s || name == u"style"_s || name == u"title"_s || name == u"template"_s;
}

// The position just past the '>' that ends the tag; quoted attribute values may hold '>'.
qsizetype endOfTag(QStringView html, qsizetype from) {
    QChar quote;
    QChar previous;
    for (qsizetype i = from; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            }
        } else if ((c == u'"' || c == u'\'') && previous == u'=') {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
        if (!isHtmlSpace(c)) {
            previous = c;
        }
    }
    return html.size();
}

int digitValue(QChar c, bool hex) {
    const char16_t unit = c.unicode();
    if (unit >= u'0' && unit <= u'9') {
        return unit - u'0';
    }
    if (hex && unit >= u'a' && unit <= u'f') {
        return unit - u'a' + 10;
    }
    if (hex && unit >= u'A' && unit <= u'F') {
        return unit - u'A' + 10;
    }
    return -1;
}

// Decodes the character reference at html[at] == '&' and returns the position after it; a text
// that is no known reference stays as it stands.
qsizetype appendReference(QStringView html, qsizetype at, VisibleText& out) {
    qsizetype i = at + 1;
    std::optional<char32_t> character;
    if (i < html.size() && html[i] == u'#') {
        ++i;
        const bool hex = i < html.size() && (html[i] == u'x' || html[i] == u'X');
        i += hex ? 1 : 0;
        const qsizetype digitsStart = i;
        quint32 value = 0;
        for (int digit = 0; i < html.size() && (digit = digitValue(html[i], hex)) >= 0; ++i) {
            // Capped past the last code point, so a long run of digits cannot overflow.
            value = qMin<quint32>(value * (hex ? 16 : 10) + quint32(digit), 0x110000);
        }
        if (i > digitsStart) {
            character = numericCharacter(value);
        }
    } else {
        while (i < html.size() && (isAsciiLetter(html[i]) || (html[i] >= u'0' && html[i] <= u'9'))) {
            ++i;
        }
        character = namedEntity(html.sliced(at + 1, i - at - 1));
    }
    if (!character) {
        out.character(u'&');
        return at + 1;
    }
    if (i < html.size() && html[i] == u';') {
        ++i;
    }
    out.character(*character);
    return i;
}

// Past the end tag of the hidden element that starts at `from`.
qsizetype skipHiddenContent(QStringView html, qsizetype from, const QString& name) {
    const qsizetype close = html.indexOf(QString(u"</"_s + name), from, Qt::CaseInsensitive);
    return close < 0 ? html.size() : endOfTag(html, close);
}

void applyTag(const QString& name, bool closing, VisibleText& out) {
    if (name == u"br"_s) {
        out.lineBreak();
    } else if (name == u"pre"_s) {
        out.blockBoundary();
        closing ? out.leavePre() : out.enterPre();
    } else if (name == u"td"_s || name == u"th"_s) {
        out.cellBoundary();
    } else if (isBlockElement(name)) {
        out.blockBoundary();
    }
}

QString visibleText(QStringView html) {
    VisibleText out;
    qsizetype i = 0;
    while (i < html.size()) {
        const QChar c = html[i];
        if (c == u'&') {
            i = appendReference(html, i, out);
            continue;
        }
        if (c != u'<' || i + 1 >= html.size()) {
            out.character(c.unicode());
            ++i;
            continue;
        }
        const QStringView rest = html.sliced(i);
        if (rest.startsWith(u"<!--"_s)) {
            const qsizetype end = html.indexOf(u"-->"_s, i + 4);
            i = end < 0 ? html.size() : end + 3;
            continue;
        }
        if (rest[1] == u'!' || rest[1] == u'?') {
            i = endOfTag(html, i);
            continue;
        }
        const bool closing = rest[1] == u'/';
        const qsizetype nameStart = i + (closing ? 2 : 1);
        if (nameStart >= html.size() || !isAsciiLetter(html[nameStart])) {
            out.character(c.unicode());
            ++i;
            continue;
        }
        qsizetype nameEnd = nameStart;
        while (nameEnd < html.size() && isNameChar(html[nameEnd])) {
            ++nameEnd;
        }
        const QString name = html.sliced(nameStart, nameEnd - nameStart).toString().toLower();
        i = endOfTag(html, nameEnd);
        if (!closing && isHiddenElement(name)) {
            i = skipHiddenContent(html, i, name);
            continue;
        }
        applyTag(name, closing, out);
    }
    return out.text();
}

} // namespace

QString DocumentText(const QByteArray& body, const QString& contentType) {
    const QString text = decodeBody(body, contentType);
    return kindOf(contentType, text) == DocumentKind::Html ? visibleText(text) : text;
}

} // namespace vt::platform
