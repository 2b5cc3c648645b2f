#include "files/TextFile.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <deque>

#include "files/OneLook.h"
#include "files/Windows1252.h"
#include "platform/FileSystem.h"

namespace vt::files {

QStringList linesOf(QByteArrayView bytes, qsizetype maxLines, LineEnds ends) {
    const bool lineFeedEnds = ends == LineEnds::AnyBreak;
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size && lines.size() != maxLines; ++i) {
        if (bytes[i] != '\r' && !(lineFeedEnds && bytes[i] == '\n')) {
            continue;
        }
        lines += decodeWindows1252(bytes.sliced(start, i - start));
        if (bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < size && lines.size() != maxLines) {
        lines += decodeWindows1252(bytes.sliced(start));
    }
    return lines;
}

namespace {

// Hands the bytes of a regular file of any size to use(), mapped where the system allows it, so
// a large list is read only as far as use() looks. (A PAD text, at most MaxDocumentBytes, is
// read in one go instead.)
template <typename Use>
auto withFileBytes(const QString& path, Use use) -> Result<decltype(use(QByteArrayView()))> {
    const Result<int> opened = platform::OpenRegularFile(path);
    if (!opened) {
        return opened.status();
    }
    QFile file;
    if (!file.open(opened.value(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        return Status::failure(QStringLiteral("Could not open \"%1\": %2").arg(path, file.errorString()));
    }
    if (file.size() == 0) {
        return use(QByteArrayView());
    }
    if (const uchar* mapped = file.map(0, file.size())) {
        return use(QByteArrayView(mapped, file.size()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return Status::failure(QStringLiteral("Could not read \"%1\": %2").arg(path, file.errorString()));
    }
    return use(bytes);
}

// The text rebuilt from the lines of the bytes, each followed by CR LF: the same text as the
// lines of linesOf() joined, made in one pass.
QString textOfLines(QByteArrayView bytes) {
    QString text = decodeWindows1252(bytes);
    // Each byte is one character, so the line ends are looked for in the bytes.
    qsizetype inserted = 0;
    for (qsizetype i = bytes.indexOf('\r'); i >= 0; i = bytes.indexOf('\r', i + 1)) {
        if (i + 1 == bytes.size() || bytes[i + 1] != '\n') {
            text.insert(i + 1 + inserted++, u'\n'); // a lone CR ends its line as CR LF does
        }
    }
    if (!text.isEmpty() && !text.endsWith(u"\r\n")) {
        text += u"\r\n";
    }
    return text;
}

} // namespace

Result<QStringList> readTextLines(const QString& path, qsizetype maxLines, LineEnds ends) {
    return withFileBytes(path, [&](QByteArrayView bytes) { return linesOf(bytes, maxLines, ends); });
}

namespace {

// Step 5 reads again the PAD text that Step 4 has just read, and text-file mode reads the next
// texts ahead on its second thread: a look at the stamp tells whether a kept text changed since.
class KeptTexts {
public:
    std::optional<QString> find(const QString& path) {
        const std::uint64_t look = OneLook::current();
        std::optional<Kept> kept;
        {
            QMutexLocker lock(&m_mutex);
            const auto found = m_kept.constFind(path);
            if (found == m_kept.cend()) {
                return std::nullopt;
            }
            if (look != 0 && found->look == look) {
                return found->text;
            }
            kept = *found;
        }
        const std::optional<platform::EntryStamp> stamp = platform::StampOf(path);
        if (!stamp || !(*stamp == kept->stamp)) {
            return std::nullopt;
        }
        QMutexLocker lock(&m_mutex);
        if (const auto found = m_kept.find(path); found != m_kept.end() && found->stamp == kept->stamp) {
            found->look = look;
        }
        return kept->text;
    }

    void keep(const QString& path, const platform::EntryStamp& stamp, const QString& text) {
        QMutexLocker lock(&m_mutex);
        if (!m_kept.contains(path)) {
            if (m_order.size() == MostKept) {
                m_kept.remove(m_order.front());
                m_order.pop_front();
            }
            m_order.push_back(path);
        }
        m_kept.insert(path, {stamp, text, OneLook::current()});
    }

private:
    // The text being made and those read ahead of it, which are fewer than this.
    static constexpr std::size_t MostKept = 128;
    struct Kept {
        platform::EntryStamp stamp;
        QString text;
        std::uint64_t look = 0; // the OneLook that last found it, which finds it again unlooked
    };
    QMutex m_mutex;
    QHash<QString, Kept> m_kept;
    std::deque<QString> m_order; // the oldest first
};

KeptTexts& keptTexts() {
    static KeptTexts kept;
    return kept;
}

Result<QString> readAndKeep(const QString& path) {
    const std::int64_t readAt = platform::NowNs();
    platform::EntryStamp stamp;
    const Result<QByteArray> bytes = platform::ReadRegularFile(path, MaxDocumentBytes, &stamp);
    if (!bytes) {
        return bytes.status();
    }
    QString text = textOfLines(bytes.value());
    // A file written just before it was read could change again without a new stamp.
    if (platform::IsSettled(stamp, readAt)) {
        keptTexts().keep(path, stamp, text);
    }
    return text;
}

} // namespace

Result<QString> readTextFile(const QString& path) {
    if (std::optional<QString> kept = keptTexts().find(path)) {
        return *std::move(kept);
    }
    return readAndKeep(path);
}

void readTextAhead(const QString& path) {
    static_cast<void>(readAndKeep(path));
}

QByteArray textFileBytes(QStringView text, Encoding encoding) {
    QByteArray bytes = encoding == Encoding::Utf8 ? text.toUtf8() : encodeWindows1252(text);
    bytes += "\r\n";
    return bytes;
}

Result<platform::FileWrite> writeTextFile(const QString& path, QStringView text, Encoding encoding) {
    return platform::ReplaceFile(path, textFileBytes(text, encoding));
}

} // namespace vt::files
