#pragma once

#include <QFile>
#include <QTest>

// Test tables kept as data in tests/data/rows/<table>.tsv, one row a line, its fields separated
// by tabs. The first line names the columns: "#" and the row's name, then "name:type" for each
// column, the type one of text (QString), bytes (QByteArray), int, bool (0 or 1) and list (a
// QStringList whose items are separated by spaces). Other lines starting with "#" are comments;
// blank lines are skipped. In a field \t \n \r \\ stand for a tab, LF, CR and a backslash, \xNN
// for the byte NN (in text: the character U+00NN) and \uNNNN for the character U+NNNN (in
// bytes: as UTF-8); every other byte is the file's own, and text is read as UTF-8.
namespace vt::testing {

inline QByteArray unescaped(const QByteArray& field, bool text = true) {
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char next = i + 1 < field.size() ? field[i + 1] : '\\';
        if (field[i] != '\\') {
            bytes += field[i];
        } else if (next == 'x' || next == 'u') {
            const int digits = next == 'x' ? 2 : 4;
            const uint code = field.mid(i + 2, digits).toUInt(nullptr, 16);
            bytes +=
                next == 'x' && !text ? QByteArray(1, char(code)) : QString(QChar(char16_t(code))).toUtf8();
            i += 1 + digits;
        } else {
            bytes += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
            ++i;
        }
    }
    return bytes;
}

// Adds the columns and rows of the table to the _data function that calls it.
inline void addRows(const char* table) {
    QFile file(QStringLiteral(VELLUMTIDE_TEST_DATA "/rows/%1.tsv").arg(QLatin1String(table)));
    QVERIFY2(file.open(QIODevice::ReadOnly), table);
    const QByteArrayList lines = file.readAll().split('\n');
    QByteArrayList types;
    static QByteArrayList names; // QTest keeps the column names as given
    for (const QByteArray& column : lines.first().split('\t').mid(1)) {
        names += column.left(column.indexOf(':'));
        types += column.mid(column.indexOf(':') + 1);
        const char* name = names.last().constData();
        const QByteArray& type = types.last();
        QVERIFY2(QByteArrayList({"text", "bytes", "int", "bool", "list"}).contains(type), column.constData());
        type == "text"    ? QTest::addColumn<QString>(name)
        : type == "bytes" ? QTest::addColumn<QByteArray>(name)
        : type == "int"   ? QTest::addColumn<int>(name)
        : type == "bool"  ? QTest::addColumn<bool>(name)
                          : QTest::addColumn<QStringList>(name);
    }
    for (const QByteArray& line : lines.mid(1)) {
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QByteArrayList fields = line.split('\t');
        QVERIFY2(fields.size() == types.size() + 1, line.constData());
        QTestData& row = QTest::newRow(unescaped(fields.first()).constData());
        for (qsizetype i = 0; i < types.size(); ++i) {
            const QByteArray bytes = unescaped(fields[i + 1], types[i] != "bytes");
            if (types[i] == "text") {
                row << QString::fromUtf8(bytes);
            } else if (types[i] == "bytes") {
                row << bytes;
            } else if (types[i] == "int") {
                bool number = false;
                row << bytes.toInt(&number);
                QVERIFY2(number, line.constData());
            } else if (types[i] == "bool") {
                QVERIFY2(bytes == "0" || bytes == "1", line.constData());
                row << (bytes == "1");
            } else {
                QStringList items;
                for (const QByteArray& item : fields[i + 1].split(' ')) {
                    items += QString::fromUtf8(unescaped(item));
                }
                row << (fields[i + 1].isEmpty() ? QStringList() : items);
            }
        }
    }
}

} // namespace vt::testing
