#include <QTest>

#include "files/Windows1252.h"

using namespace vt::files;
using namespace Qt::StringLiterals;

class TestWindows1252 : public QObject {
    Q_OBJECT

private slots:
    void everyByteRoundTrips() {
        QByteArray all;
        for (int byte = 0; byte < 256; ++byte) {
            all += char(byte);
        }
        const QString text = decodeWindows1252(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(encodeWindows1252(text), all);
    }

    // Characters outside the code page go out as decimal references and do not come back.
    void characters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("euro") << u"\u20AC"_s << QByteArray("\x80");
        QTest::addRow("trade mark") << u"\u2122"_s << QByteArray("\x99");
        QTest::addRow("curly quotes") << u"\u201C\u201D\u2018\u2019"_s << QByteArray("\x93\x94\x91\x92");
        QTest::addRow("dashes, ellipsis") << u"\u2013\u2014\u2026"_s << QByteArray("\x96\x97\x85");
        QTest::addRow("y diaeresis, z caron") << u"\u0178\u017E"_s << QByteArray("\x9F\x9E");
        QTest::addRow("bytes without a character")
            << u"\u0081\u008D\u008F\u0090\u009D"_s << QByteArray("\x81\x8D\x8F\x90\x9D");
        QTest::addRow("latin-1 letters") << u"caf\u00E9 \u00FC\u00DF"_s << QByteArray("caf\xE9 \xFC\xDF");
        // U+4E2D U+6587 are 20013 and 25991.
        QTest::addRow("chinese name") << u"Editor \u4E2D\u6587"_s << QByteArray("Editor &#20013;&#25991;");
        // U+1F600 is the surrogate pair D83D DE00: one reference with the full code point, 128512.
        QTest::addRow("emoji") << u"a\U0001F600b"_s << QByteArray("a&#128512;b");
        QTest::addRow("C1 control with a cp1252 glyph") << u"\u0080"_s << QByteArray("&#128;");
        QTest::addRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("&#65533;");
    }
    void characters() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeWindows1252(text), bytes);
        if (!bytes.contains("&#")) {
            QCOMPARE(decodeWindows1252(bytes), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestWindows1252)
#include "tst_windows1252.moc"
