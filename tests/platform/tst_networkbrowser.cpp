#include "../support/DataRows.h"
#include "../support/ScriptedServer.h"
#include "../support/TestFiles.h"
#include "platform/NetworkBrowser.h"

using namespace vt::platform;
using namespace vt::testing;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QByteArray PadUtf8 =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<XML_DIZ_INFO>\r\n"
    "<Program_Name>Caf\xC3\xA9 Z\xC3\xBCrich \xE2\x82\xAC</Program_Name>\r\n</XML_DIZ_INFO>\r\n";
constexpr qint64 Cap = 64 * 1024; // the body cap of the browser under test

} // namespace

class TestNetworkBrowser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_server.listening());
        m_server.answer("/pad.xml", ok("text/xml", PadUtf8));
        // A chain of redirects with every kind of target; /r10 takes the ten allowed.
        const auto redirect = [](const QByteArray& to) {
            return whole("302 Found", "Location: " + to + "\r\n", {});
        };
        m_server.answer("/r1", redirect(m_server.url(u"/pad.xml"_s).toLatin1())); // absolute
        m_server.answer("/r2", redirect("r1"));                                   // relative to the path
        for (int n = 3; n <= 11; ++n) {
            m_server.answer("/r" + QByteArray::number(n), redirect("/r" + QByteArray::number(n - 1)));
        }
        writeBytes(m_temp.filePath(u"pad.xml"_s),
                   "<XML_DIZ_INFO>\r\n<Program_Name>Caf\xE9</Program_Name>\r\n</XML_DIZ_INFO>\r\n");
    }

    void loads_data() {
        addRows("loads");
        // Qt stops unpacking a body that grows out of all proportion to its size, and says no more.
        QTest::addRow("decompression bomb")
            << u"/doc"_s << u"whole"_s << u"200 OK"_s
            << u"Content-Type: text/xml\r\nContent-Encoding: deflate\r\n"_s
            << qCompress(QByteArray(12 * 1024 * 1024, '\0')).mid(4) << 1
            << u"!Decompression failed: the compressed document unpacks to far more than its own size"_s
            << true;
    }
    void loads() {
        QFETCH(QString, address);
        QFETCH(QString, pace);
        QFETCH(QString, status);
        QFETCH(QString, headers);
        QFETCH(QByteArray, body);
        QFETCH(int, repeat);
        QFETCH(QString, outcome);
        QFETCH(bool, defaults);
        const bool served = address.startsWith(u'/');
        const Pace kind =
            Pace(QStringList{u"whole"_s, u"late"_s, u"never"_s, u"drip"_s, u"endless"_s}.indexOf(pace));
        body = body.repeated(repeat);
        if (kind != Pace::Whole || !status.isEmpty()) {
            const qint64 length = kind == Pace::Endless ? -1 : body.size();
            m_server.answer(address.toLatin1(),
                            {kind, head(status.toLatin1(), headers.toLatin1(), length), body});
        }
        outcome = outcome == u"=body"_s ? QString::fromLatin1(body) : outcome;
        const qint64 cap = defaults ? MaxBodyBytes : Cap;
        address = served ? m_server.url(address) : address.replace(u"{tmp}"_s, m_temp.path());
        NetworkBrowser browser(defaults ? FetchLimits{} : FetchLimits{300ms, 700ms, MaxRedirects, Cap});
        const bool blank = address.trimmed().isEmpty();
        if (blank) {
            browser.navigate(m_server.url(u"/pad.xml"_s));
        }
        browser.navigate(address);
        QCOMPARE(browser.readyState() == ReadyState::Loading, address.startsWith(u"http"_s));
        QTRY_VERIFY_WITH_TIMEOUT(!browser.busy(), 30000);
        QTest::qWait(blank ? 50 : 0);
        QVERIFY(browser.lastResult().body.size() <= cap);
        const QString text = browser.bodyText();
        if (!outcome.startsWith(u'!')) {
            QCOMPARE(text, outcome);
            QCOMPARE(browser.lastResult().status, served ? 200 : 0);
            QCOMPARE(browser.lastResult().error, QString());
            QVERIFY(!address.contains(u"/r1"_s) ||
                    browser.lastResult().url == QUrl(m_server.url(u"/pad.xml"_s)));
            return;
        }
        QVERIFY2(text.startsWith(
                     u"The PAD file at %1 could not be loaded: "_s.arg(address.replace(u'<', u"%3C"_s))),
                 qPrintable(text));
        QVERIFY2(text.contains(outcome.mid(1)) && !text.contains(u'<'), qPrintable(text));
        QVERIFY(!browser.lastResult().error.isEmpty());
    }

    void redirectRefusal_data() { addRows("redirects"); }
    void redirectRefusal() {
        QFETCH(QString, from);
        QFETCH(QString, target);
        QFETCH(bool, followed);
        const QString refusal = RedirectRefusal(QUrl(from), QUrl(target));
        QCOMPARE(refusal.isEmpty(), followed);
        QVERIFY(!refusal.contains(u'<'));
    }

private:
    ScriptedServer m_server;
    QTemporaryDir m_temp;
};

QTEST_GUILESS_MAIN(TestNetworkBrowser)
#include "tst_networkbrowser.moc"
