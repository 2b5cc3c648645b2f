#include "platform/NetworkBrowser.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>

#include <array>
#include <optional>
#include <utility>

#include "files/Windows1252.h"
#include "platform/FileSystem.h"

namespace vt::platform {

using namespace Qt::StringLiterals;

namespace {

// The text shown for a failed load. It never holds '<', so no PAD tag can be found in it.
constexpr QStringView FailureText = u"The PAD file at %1 could not be loaded: %2.";

QString describeDuration(std::chrono::milliseconds duration) {
    const auto count = duration.count();
    return count % 1000 == 0 ? u"%1 seconds"_s.arg(count / 1000) : u"%1 ms"_s.arg(count);
}

QString describeSize(qint64 bytes) {
    constexpr qint64 MiB = 1024 * 1024;
    return bytes % MiB == 0 ? u"%1 MiB"_s.arg(bytes / MiB) : u"%1 bytes"_s.arg(bytes);
}

bool isHttp(const QUrl& url) {
    return url.scheme() == u"http"_s || url.scheme() == u"https"_s;
}

// Qt stops unpacking a compressed body that grows out of all proportion to its size (a
// decompression bomb) but gives its "Decompression failed: " no reason: say it.
QString withReason(const QString& errorText) {
    const QString trimmed = errorText.trimmed();
    if (trimmed.startsWith(u"Decompression failed"_s) && trimmed.endsWith(u':')) {
        return trimmed + u" the compressed document unpacks to far more than its own size, as a "
                         "decompression bomb does, so it was not unpacked"_s;
    }
    return errorText;
}

// A plain absolute path names a local file; anything else is read as a web address, the way a
// browser's address bar reads it ("example.com/pad.xml" is http).
QUrl urlOf(const QString& address) {
    if (QDir::isAbsolutePath(address) && !address.startsWith(u':')) {
        return QUrl::fromLocalFile(address);
    }
    return QUrl::fromUserInput(address);
}

} // namespace

AddressKind KindOfAddress(const QString& address) {
    const QString trimmed = address.trimmed();
    if (QDir::isAbsolutePath(trimmed) && !trimmed.startsWith(u':')) {
        return AddressKind::LocalFile;
    }
    const QUrl url(trimmed, QUrl::StrictMode);
    if (url.isLocalFile()) {
        return AddressKind::LocalFile;
    }
    return url.isValid() && isHttp(url) && !url.host().isEmpty() ? AddressKind::Web : AddressKind::Other;
}

namespace {

// ---- Decoding ----------------------------------------------------------------------------------

struct ByteOrderMark {
    std::optional<QStringConverter::Encoding> encoding;
    qsizetype length = 0;
};

ByteOrderMark byteOrderMarkOf(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return {QStringConverter::Utf8, 3};
    }
    if (bytes.startsWith("\xFF\xFE")) {
        return {QStringConverter::Utf16LE, 2};
    }
    if (bytes.startsWith("\xFE\xFF")) {
        return {QStringConverter::Utf16BE, 2};
    }
    return {};
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder decoder(encoding);
    return decoder.decode(bytes);
}

std::optional<QString> strictUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

// Browsers read the Latin-1 and ASCII labels as Windows-1252, and PAD files written on Windows
// that claim ISO-8859-1 really hold Windows-1252 bytes.
bool isWindows1252Label(const QString& label) {
    static const QStringList labels = {
        u"windows-1252"_s, u"cp1252"_s,  u"x-cp1252"_s, u"iso-8859-1"_s, u"iso8859-1"_s, u"iso_8859-1"_s,
        u"latin1"_s,       u"latin-1"_s, u"l1"_s,       u"us-ascii"_s,   u"ascii"_s,     u"ansi_x3.4-1968"_s};
    return labels.contains(label);
}

// The text in the named encoding, or nothing when the encoding is unknown here.
std::optional<QString> decodeAs(const QString& name, QByteArrayView bytes) {
    const QString label = name.trimmed().toLower();
    if (isWindows1252Label(label)) {
        return files::decodeWindows1252(bytes);
    }
    QStringDecoder decoder(label.toLatin1().constData());
    if (!decoder.isValid()) {
        return std::nullopt;
    }
    return QString(decoder.decode(bytes));
}

QString charsetParameter(const QString& contentType) {
    static const QRegularExpression charset(uR"(;\s*charset\s*=\s*["']?([^"';\s]+))"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    return charset.match(contentType).captured(1);
}

QByteArrayView skipAsciiSpace(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) {
        ++i;
    }
    return bytes.sliced(i);
}

// The encoding the document names itself: the XML declaration's, or an HTML meta charset near
// the start. A UTF-16 or UTF-32 name is ignored, since it was just read as single bytes.
QString declaredEncoding(QByteArrayView bytes) {
    static const QRegularExpression xmlEncoding(
        uR"(^<\?xml[^>]*?\sencoding\s*=\s*["']([A-Za-z0-9._:-]+)["'])"_s);
    static const QRegularExpression metaCharset(uR"(<meta[^>]*?charset\s*=\s*["']?\s*([A-Za-z0-9._:-]+))"_s,
                                                QRegularExpression::CaseInsensitiveOption);
    const QByteArrayView start = skipAsciiSpace(bytes);
    const QString head = QString::fromLatin1(start.first(qMin<qsizetype>(start.size(), 1024)));
    QString name = xmlEncoding.match(head).captured(1);
    if (name.isEmpty() && !head.startsWith(u"<?xml"_s)) {
        name = metaCharset.match(head).captured(1);
    }
    const QString label = name.toLower();
    return label.startsWith(u"utf-16"_s) || label.startsWith(u"utf-32"_s) || label.startsWith(u"ucs"_s)
               ? QString()
               : name;
}

// A byte order mark decides; then the HTTP charset, then the document's own declaration; then
// UTF-8 when the bytes are valid UTF-8, else Windows-1252, which reads any byte.
QString decodeBody(QByteArrayView bytes, const QString& contentType) {
    const ByteOrderMark mark = byteOrderMarkOf(bytes);
    if (mark.encoding) {
        return decodeWith(*mark.encoding, bytes.sliced(mark.length));
    }
    for (const QString& name : {charsetParameter(contentType), declaredEncoding(bytes)}) {
        if (!name.isEmpty()) {
            if (std::optional<QString> text = decodeAs(name, bytes)) {
                return *text;
            }
        }
    }
    if (std::optional<QString> text = strictUtf8(bytes)) {
        return *text;
    }
    return files::decodeWindows1252(bytes);
}

// ---- What kind of document -------------------------------------------------------------------

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

QString RedirectRefusal(const QUrl& from, const QUrl& target) {
    if (!target.isValid() || !isHttp(target)) {
        return u"the server redirected to %1, which is no http or https address"_s.arg(
            target.toString(QUrl::RemoveUserInfo));
    }
    if (from.scheme() == u"https"_s && target.scheme() == u"http"_s) {
        return u"the server redirected from https to the unencrypted address %1"_s.arg(
            target.toString(QUrl::RemoveUserInfo));
    }
    return QString();
}

QString DocumentText(const QByteArray& body, const QString& contentType) {
    const QString text = decodeBody(body, contentType);
    return kindOf(contentType, text) == DocumentKind::Html ? visibleText(text) : text;
}

// ---- NetworkBrowser ----------------------------------------------------------------------------

NetworkBrowser::NetworkBrowser(FetchLimits limits, QObject* parent)
    : QObject(parent)
    , m_limits(limits)
    , m_network(new QNetworkAccessManager(this)) {
    m_silenceTimer.setSingleShot(true);
    m_silenceTimer.setInterval(m_limits.silence);
    m_deadlineTimer.setSingleShot(true);
    m_deadlineTimer.setInterval(m_limits.total);
    connect(&m_silenceTimer, &QTimer::timeout, this, [this] {
        dropReply();
        fail(u"no data arrived for %1"_s.arg(describeDuration(m_limits.silence)));
    });
    connect(&m_deadlineTimer, &QTimer::timeout, this, [this] {
        dropReply();
        fail(u"the load did not end within %1"_s.arg(describeDuration(m_limits.total)));
    });
}

NetworkBrowser::~NetworkBrowser() {
    dropReply();
}

void NetworkBrowser::navigate(const QString& address) {
    dropReply();
    m_silenceTimer.stop();
    m_deadlineTimer.stop();
    m_address = address.trimmed();
    m_result = FetchResult();
    m_text.clear();
    m_redirectCount = 0;
    if (m_address.isEmpty()) {
        m_state = ReadyState::Complete;
        return;
    }
    m_state = ReadyState::Loading;
    const QUrl url = urlOf(m_address);
    m_result.url = url;
    if (url.isLocalFile()) {
        loadLocalFile(url.toLocalFile());
    } else if (!url.isValid() || !isHttp(url)) {
        fail(u"only http, https and local files can be loaded"_s);
    } else {
        m_deadlineTimer.start();
        request(url);
    }
}

void NetworkBrowser::loadLocalFile(const QString& path) {
    const Result<int> opened = OpenRegularFile(path);
    if (!opened) {
        fail(opened.message());
        return;
    }
    QFile file;
    if (!file.open(opened.value(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        fail(file.errorString());
        return;
    }
    m_result.body = file.read(m_limits.bodyBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        fail(file.errorString());
    } else if (m_result.body.size() > m_limits.bodyBytes) {
        m_result.body.truncate(m_limits.bodyBytes);
        fail(u"the document is larger than %1"_s.arg(describeSize(m_limits.bodyBytes)));
    } else {
        succeed();
    }
}

void NetworkBrowser::request(const QUrl& url) {
    m_result.url = url;
    m_result.body.clear();
    QNetworkRequest request(url);
    // Each hop is checked here: the count, and that https never drops to http.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &NetworkBrowser::onHeaders);
    connect(m_reply, &QNetworkReply::readyRead, this, &NetworkBrowser::onData);
    connect(m_reply, &QNetworkReply::finished, this, &NetworkBrowser::onFinished);
    m_silenceTimer.start();
}

void NetworkBrowser::onHeaders() {
    m_silenceTimer.start();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.bodyBytes) {
        dropReply();
        fail(u"the document is larger than %1"_s.arg(describeSize(m_limits.bodyBytes)));
    }
}

void NetworkBrowser::onData() {
    m_silenceTimer.start();
    m_result.body += m_reply->readAll();
    if (m_result.body.size() > m_limits.bodyBytes) {
        m_result.body.truncate(m_limits.bodyBytes);
        dropReply();
        fail(u"the document is larger than %1"_s.arg(describeSize(m_limits.bodyBytes)));
    }
}

void NetworkBrowser::onFinished() {
    onData();
    if (m_reply == nullptr) {
        return;
    }
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString reasonPhrase =
        QString::fromLatin1(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
    const QUrl target = m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const QNetworkReply::NetworkError error = m_reply->error();
    const QString errorText = m_reply->errorString();
    m_result.status = status;
    m_result.contentType = m_reply->header(QNetworkRequest::ContentTypeHeader).toString();
    dropReply();

    if (status >= 300 && status < 400 && !target.isEmpty()) {
        const QUrl next = m_result.url.resolved(target);
        const QString refusal = RedirectRefusal(m_result.url, next);
        if (m_redirectCount >= m_limits.redirects) {
            fail(u"the server redirected more than %1 times"_s.arg(m_limits.redirects));
        } else if (!refusal.isEmpty()) {
            fail(refusal);
        } else {
            ++m_redirectCount;
            request(next);
        }
    } else if (status >= 300) {
        fail(reasonPhrase.isEmpty()
                 ? u"the server answered with HTTP status %1"_s.arg(status)
                 : u"the server answered with HTTP status %1 (%2)"_s.arg(status).arg(reasonPhrase));
    } else if (error != QNetworkReply::NoError) {
        fail(withReason(errorText));
    } else {
        succeed();
    }
}

void NetworkBrowser::dropReply() {
    if (m_reply == nullptr) {
        return;
    }
    QNetworkReply* reply = std::exchange(m_reply, nullptr);
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

void NetworkBrowser::succeed() {
    m_silenceTimer.stop();
    m_deadlineTimer.stop();
    m_text = DocumentText(m_result.body, m_result.contentType);
    m_state = ReadyState::Complete;
}

void NetworkBrowser::fail(const QString& reason) {
    m_silenceTimer.stop();
    m_deadlineTimer.stop();
    m_result.error = reason;
    // '<' cannot stand in an address and must not reach the text, where it could start a tag.
    m_text = FailureText.toString().arg(m_address, reason).replace(u'<', u"%3C"_s);
    m_state = ReadyState::Complete;
}

} // namespace vt::platform
