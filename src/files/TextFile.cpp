#include "files/TextFile.h"

#include <QFile>
#include <QSaveFile>

#include "files/Windows1252.h"

namespace vt::files {
namespace {

Result<QByteArray> readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Status::failure(QStringLiteral("Could not open \"%1\": %2").arg(path, file.errorString()));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return Status::failure(QStringLiteral("Could not read \"%1\": %2").arg(path, file.errorString()));
    }
    return bytes;
}

} // namespace

QStringList linesOf(QByteArrayView bytes) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (bytes[i] != '\r') {
            continue;
        }
        lines += decodeWindows1252(bytes.sliced(start, i - start));
        if (i + 1 < size && bytes[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < size) {
        lines += decodeWindows1252(bytes.sliced(start));
    }
    return lines;
}

Result<QStringList> readTextLines(const QString& path) {
    Result<QByteArray> bytes = readBytes(path);
    if (!bytes) {
        return bytes.status();
    }
    return linesOf(bytes.value());
}

Result<QString> readTextFile(const QString& path) {
    Result<QStringList> lines = readTextLines(path);
    if (!lines) {
        return lines.status();
    }
    QString text;
    for (const QString& line : lines.value()) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

Status writeTextFile(const QString& path, QStringView text) {
    QByteArray bytes = encodeWindows1252(text);
    bytes += "\r\n";
    // QSaveFile replaces the old file only after the last byte is written, so a full disk
    // leaves the previous file intact and no half-written one behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Status::failure(QStringLiteral("Could not create \"%1\": %2").arg(path, file.errorString()));
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        return Status::failure(QStringLiteral("Could not write \"%1\": %2").arg(path, file.errorString()));
    }
    return Status::success();
}

} // namespace vt::files
