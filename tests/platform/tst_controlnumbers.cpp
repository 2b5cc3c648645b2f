#include "../support/DataRows.h"
#include "platform/ControlNumbers.h"

using namespace vt::platform;
using namespace Qt::StringLiterals;

class TestControlNumbers : public QObject {
    Q_OBJECT

private slots:
    void conversions_data() { vt::testing::addRows("controlnumbers"); }
    void conversions() {
        QFETCH(QString, text);
        QFETCH(QString, int16);
        QFETCH(QString, int32);
        const std::optional<std::int16_t> small = toInt16(text);
        const std::optional<std::int32_t> large = toInt32(text);
        QCOMPARE(small ? QString::number(*small) : u"none"_s, int16);
        QCOMPARE(large ? QString::number(*large) : u"none"_s, int32);
    }
};

QTEST_GUILESS_MAIN(TestControlNumbers)
#include "tst_controlnumbers.moc"
