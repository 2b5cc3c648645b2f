#include "files/Windows1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace vt::files {
namespace {

// Characters of the bytes 0x80-0x9F; the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control character of the same value, as Windows does.
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of a UTF-16 code unit, or -1 when the code page has none.
int byteOf(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return unit;
    }
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == unit) {
            return int(0x80 + i);
        }
    }
    return -1;
}

void appendCharacterReference(QByteArray& out, char32_t codePoint) {
    out += "&#";
    out += QByteArray::number(quint32(codePoint));
    out += ';';
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes) {
    // Latin-1 maps every byte to the character of the same value; only 0x80-0x9F differ.
    QString text = QString::fromLatin1(bytes);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    // Most PAD texts are ASCII: eight bytes at a time pass over what needs no change.
    qsizetype i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, bytes.data() + i, 8);
        if ((eight & 0x8080808080808080u) != 0) {
            break;
        }
    }
    for (; i < text.size(); ++i) {
        if (out[i] >= 0x80 && out[i] < 0xA0) {
            out[i] = HighControlRange[out[i] - 0x80];
        }
    }
    return text;
}

QByteArray encodeWindows1252(QStringView text) {
    // One byte per code unit, written in place; only a character the code page lacks grows the
    // text, and is appended after the bytes written so far.
    QByteArray out(text.size(), Qt::Uninitialized);
    char* bytes = out.data();
    qsizetype written = 0;
    const qsizetype size = text.size();
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        // Four ASCII characters at a time while the bytes keep pace with the characters.
        while (written == i && i + 4 <= size) {
            std::uint64_t four = 0;
            std::memcpy(&four, units + i, 8);
            if ((four & 0xFF80FF80FF80FF80u) != 0) {
                break;
            }
            for (int k = 0; k < 4; ++k) {
                bytes[written++] = char(units[i++]);
            }
        }
        if (i == size) {
            break;
        }
        const char16_t unit = units[i];
        if (unit < 0x80 && written < out.size()) {
            bytes[written++] = char(unit);
            continue;
        }
        const int byte = byteOf(unit);
        if (byte >= 0) {
            if (written == out.size()) {
                out.resize(out.size() + (size - i));
                bytes = out.data();
            }
            bytes[written++] = char(byte);
            continue;
        }
        out.truncate(written);
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
            appendCharacterReference(out, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            // A lone half of a surrogate pair is no character at all: keep a visible replacement.
            appendCharacterReference(out, QChar::ReplacementCharacter);
        } else {
            appendCharacterReference(out, unit);
        }
        written = out.size();
        bytes = out.data();
    }
    out.truncate(written);
    return out;
}

} // namespace vt::files
