#include "files/Windows1252.h"

#include <algorithm>
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

QByteArray characterReference(char32_t codePoint) {
    return "&#" + QByteArray::number(quint32(codePoint)) + ';';
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes) {
    // Latin-1 maps every byte to the character of the same value; only 0x80-0x9F differ. Most PAD
    // texts are ASCII: 32 bytes at a time pass over what needs no change.
    QString text = QString::fromLatin1(bytes);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    constexpr qsizetype Block = 32;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; i += Block) {
        if (i + Block <= size) {
            std::array<std::uint64_t, Block / 8> words{};
            std::memcpy(words.data(), bytes.data() + i, Block);
            if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080u) == 0) {
                continue;
            }
        }
        for (qsizetype k = i; k < std::min(i + Block, size); ++k) {
            if (out[k] >= 0x80 && out[k] < 0xA0) {
                out[k] = HighControlRange[out[k] - 0x80];
            }
        }
    }
    return text;
}

QByteArray encodeWindows1252(QStringView text) {
    // One byte per code unit; a character the code page lacks takes the bytes of its reference.
    // Room is kept for the CR LF that a text file ends with.
    const qsizetype size = text.size();
    QByteArray out;
    out.reserve(size + 2);
    out.resize(size);
    char* bytes = out.data();
    qsizetype written = 0;
    const auto makeRoom = [&](qsizetype needed, qsizetype unitsLeft) {
        if (written + needed > out.size()) {
            out.resize(written + needed + unitsLeft);
            bytes = out.data();
        }
    };
    const char16_t* units = text.utf16();
    qsizetype i = 0;
    while (i < size) {
        // A run of ASCII characters, found four at a time, is copied in one loop.
        qsizetype runEnd = i;
        std::uint64_t four = 0;
        while (runEnd + 4 <= size &&
               (std::memcpy(&four, units + runEnd, 8), (four & 0xFF80FF80FF80FF80u) == 0)) {
            runEnd += 4;
        }
        makeRoom(runEnd - i, size - runEnd);
        for (; i < runEnd; ++i) {
            bytes[written++] = char(units[i]);
        }
        if (i == size) {
            break;
        }
        const char16_t unit = units[i];
        const int byte = byteOf(unit);
        if (byte >= 0) {
            makeRoom(1, size - i - 1);
            bytes[written++] = char(byte);
            ++i;
            continue;
        }
        QByteArray reference;
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])) {
            reference = characterReference(QChar::surrogateToUcs4(unit, units[i + 1]));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            // A lone half of a surrogate pair is no character at all: keep a visible replacement.
            reference = characterReference(QChar::ReplacementCharacter);
        } else {
            reference = characterReference(unit);
        }
        ++i;
        makeRoom(reference.size(), size - i);
        std::memcpy(bytes + written, reference.constData(), std::size_t(reference.size()));
        written += reference.size();
    }
    out.truncate(written);
    return out;
}

} // namespace vt::files
