#include "files/TextFile.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>

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

// The lines of a regular file of at most maxBytes (any size when negative).
Result<QStringList> linesOfFile(const QString& path, qsizetype maxLines, LineEnds ends, qint64 maxBytes) {
    const Result<int> opened = platform::OpenRegularFile(path);
    if (!opened) {
        return opened.status();
    }
    QFile file;
    if (!file.open(opened.value(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        return Status::failure(QStringLiteral("Could not open \"%1\": %2").arg(path, file.errorString()));
    }
    if (maxBytes >= 0 && file.size() > maxBytes) {
        return Status::failure(QStringLiteral("Could not read \"%1\": it is larger than %2 MiB")
                                   .arg(path)
                                   .arg(maxBytes / (1024 * 1024)));
    }
    if (file.size() == 0) {
        return QStringList();
    }
    // A mapped file is read only as far as the lines wanted, however large it is.
    if (const uchar* mapped = file.map(0, file.size())) {
        return linesOf(QByteArrayView(mapped, file.size()), maxLines, ends);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return Status::failure(QStringLiteral("Could not read \"%1\": %2").arg(path, file.errorString()));
    }
    return linesOf(bytes, maxLines, ends);
}

} // namespace

Result<QStringList> readTextLines(const QString& path, qsizetype maxLines, LineEnds ends) {
    return linesOfFile(path, maxLines, ends, -1);
}

Result<QString> readTextFile(const QString& path) {
    // The file read last is kept: Step 4 reloads the same PAD text after every row of the fill.
    static QMutex mutex;
    static QString cachedPath;
    static platform::EntryStamp cachedStamp;
    static QString cachedText;

    const std::int64_t readAt = platform::NowNs();
    const std::optional<platform::EntryStamp> stamp = platform::StampOf(path);
    {
        QMutexLocker lock(&mutex);
        if (stamp && path == cachedPath && *stamp == cachedStamp) {
            return cachedText;
        }
    }
    Result<QStringList> lines = linesOfFile(path, -1, LineEnds::CrOrCrLf, MaxDocumentBytes);
    if (!lines) {
        return lines.status();
    }
    QString text;
    for (const QString& line : lines.value()) {
        text += line;
        text += u"\r\n";
    }
    // A file written just before it was read could change again without a new stamp.
    if (stamp && platform::IsSettled(*stamp, readAt)) {
        QMutexLocker lock(&mutex);
        cachedPath = path;
        cachedStamp = *stamp;
        cachedText = text;
    }
    return text;
}

Status writeTextFile(const QString& path, QStringView text) {
    QByteArray bytes = encodeWindows1252(text);
    bytes += "\r\n";
    return platform::ReplaceFile(path, bytes);
}

} // namespace vt::files
