#include "../support/DataRows.h"
#include "../support/TestFiles.h"
#include "files/OneLook.h"
#include "files/TextFile.h"

using namespace vt::files;
using namespace Qt::StringLiterals;
using namespace vt::testing;

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void readRebuildsLinesWithCrLf_data() { addRows("textlines"); }
    void readRebuildsLinesWithCrLf() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"in.txt"_s);
        writeBytes(path, bytes);
        const vt::Result<QString> read = readTextFile(path);
        QVERIFY(read.ok());
        QCOMPARE(read.value(), text);
    }

    // The file read last is kept while it is unchanged; a rewrite, even to the same size, is
    // read afresh (once a record's look at it has ended), and a removed file fails. The file is
    // left alone first so that its read is one that can be kept.
    void aChangedFileIsReadAfresh() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"0.txt"_s);
        writeBytes(path, "first");
        QTest::qWait(2200);
        QCOMPARE(readTextFile(path).value(), u"first\r\n"_s);
        {
            const OneLook look;
            QCOMPARE(readTextFile(path).value(), u"first\r\n"_s);
            writeBytes(path, "other");
            QCOMPARE(readTextFile(path).value(), u"first\r\n"_s);
        }
        QCOMPARE(readTextFile(path).value(), u"other\r\n"_s);
        QVERIFY(QFile::remove(path));
        QVERIFY(readTextFile(path).message().contains(u"0.txt"_s)); // a failure names the file
    }

    // A write replaces the whole file with the text and a CR LF; a failed one leaves nothing.
    void write() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.txt"_s);
        writeBytes(path, QByteArray(10000, 'x'));
        QVERIFY(writeTextFile(path, u"caf\u00E9 \u2122\r\nline \u4E2D"_s).ok());
        QCOMPARE(contentsOf(path), QByteArray("caf\xE9 \x99\r\nline &#20013;\r\n"));
        QVERIFY(QFile::remove(path));
        QVERIFY(!writeTextFile(dir.filePath(u"no-such-folder/out.txt"_s), u"x"_s).ok());

        // The name is taken by a folder: the write fails only at the final step, and the
        // half-made temporary file must not stay behind.
        QVERIFY(QDir(dir.path()).mkdir(u"page.html"_s));
        const auto status = writeTextFile(dir.filePath(u"page.html"_s), u"new"_s);
        QVERIFY(!status.ok() && status.message().contains(u"page.html"_s));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"page.html"_s});
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
