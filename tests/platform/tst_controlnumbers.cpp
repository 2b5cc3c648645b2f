#include <QTest>

#include "platform/ControlNumbers.h"

using namespace vt::platform;
using namespace Qt::StringLiterals;

namespace {
constexpr qint64 NoNumber = std::numeric_limits<qint64>::min();
}

class TestControlNumbers : public QObject {
    Q_OBJECT

private slots:
    void conversions_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("int16"); // NoNumber: the conversion fails
        QTest::addColumn<qint64>("int32");
        QTest::addRow("zero") << u"0"_s << 0LL << 0LL;
        QTest::addRow("leading zeros") << u"007"_s << 7LL << 7LL;
        QTest::addRow("spaces around") << u"  42 \t"_s << 42LL << 42LL;
        QTest::addRow("plus sign") << u"+5"_s << 5LL << 5LL;
        QTest::addRow("minus sign") << u"-5"_s << -5LL << -5LL;
        QTest::addRow("half to even, down") << u"2.5"_s << 2LL << 2LL;
        QTest::addRow("half to even, up") << u"3.5"_s << 4LL << 4LL;
        QTest::addRow("more than half") << u"2.51"_s << 3LL << 3LL;
        QTest::addRow("half with zeros") << u"2.500"_s << 2LL << 2LL;
        QTest::addRow("less than half") << u"2.49999"_s << 2LL << 2LL;
        QTest::addRow("negative half") << u"-2.5"_s << -2LL << -2LL;
        QTest::addRow("negative more than half") << u"-0.6"_s << -1LL << -1LL;
        QTest::addRow("fraction only") << u".5"_s << 0LL << 0LL;
        QTest::addRow("trailing point") << u"5."_s << 5LL << 5LL;
        QTest::addRow("16-bit top") << u"32767"_s << 32767LL << 32767LL;
        QTest::addRow("16-bit top rounded past") << u"32767.5"_s << NoNumber << 32768LL;
        QTest::addRow("16-bit bottom") << u"-32768"_s << -32768LL << -32768LL;
        QTest::addRow("past 16 bits") << u"32768"_s << NoNumber << 32768LL;
        QTest::addRow("below 16 bits") << u"-32769"_s << NoNumber << -32769LL;
        QTest::addRow("32-bit top") << u"2147483647"_s << NoNumber << 2147483647LL;
        QTest::addRow("past 32 bits") << u"2147483648"_s << NoNumber << NoNumber;
        QTest::addRow("32-bit bottom") << u"-2147483648"_s << NoNumber << -2147483648LL;
        QTest::addRow("far too many digits") << u"99999999999999999999999999"_s << NoNumber << NoNumber;
        QTest::addRow("empty") << QString() << NoNumber << NoNumber;
        QTest::addRow("spaces only") << u"   "_s << NoNumber << NoNumber;
        QTest::addRow("sign only") << u"-"_s << NoNumber << NoNumber;
        QTest::addRow("point only") << u"."_s << NoNumber << NoNumber;
        QTest::addRow("letters") << u"12abc"_s << NoNumber << NoNumber;
        QTest::addRow("space inside") << u"1 2"_s << NoNumber << NoNumber;
        QTest::addRow("two signs") << u"--1"_s << NoNumber << NoNumber;
        QTest::addRow("comma") << u"1,5"_s << NoNumber << NoNumber;
        QTest::addRow("exponent") << u"1e3"_s << NoNumber << NoNumber;
        QTest::addRow("hex") << u"0x10"_s << NoNumber << NoNumber;
        QTest::addRow("line break") << u"5\r\n"_s << NoNumber << NoNumber;
        QTest::addRow("arabic-indic digit") << u"\u0665"_s << NoNumber << NoNumber;
    }
    void conversions() {
        QFETCH(QString, text);
        QFETCH(qint64, int16);
        QFETCH(qint64, int32);
        const std::optional<std::int16_t> small = toInt16(text);
        const std::optional<std::int32_t> large = toInt32(text);
        QCOMPARE(small ? qint64(*small) : NoNumber, int16);
        QCOMPARE(large ? qint64(*large) : NoNumber, int32);
    }
};

QTEST_GUILESS_MAIN(TestControlNumbers)
#include "tst_controlnumbers.moc"
