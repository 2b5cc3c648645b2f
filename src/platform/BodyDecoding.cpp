#include "platform/BodyDecoding.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

#include "files/Windows1252.h"

namespace vt::platform {

using namespace Qt::StringLiterals;
namespace {

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

} // namespace

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

} // namespace vt::platform
