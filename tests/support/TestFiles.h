#pragma once

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// Files the tests make and look at.
namespace vt::testing {

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Every file below a folder, hidden ones too, relative to it and sorted.
inline QStringList filesBelow(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found += QDir(folder).relativeFilePath(it.next());
    }
    found.sort();
    return found;
}

// Every file below a folder, hidden ones too, relative to it, with its bytes.
inline QMap<QString, QByteArray> bytesBelow(const QString& folder) {
    QMap<QString, QByteArray> found;
    for (const QString& name : filesBelow(folder)) {
        found.insert(name, contentsOf(QDir(folder).filePath(name)));
    }
    return found;
}

} // namespace vt::testing
