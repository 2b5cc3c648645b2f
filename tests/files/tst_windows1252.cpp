#include <QTest>

#include "../support/DataRows.h"
#include "files/Windows1252.h"

using namespace vt::files;
using namespace Qt::StringLiterals;
using vt::testing::addRows;

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
        addRows("windows1252");
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
