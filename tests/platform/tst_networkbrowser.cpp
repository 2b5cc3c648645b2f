#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "../support/ScriptedServer.h"
#include "platform/NetworkBrowser.h"

using namespace vt::platform;
using namespace vt::testing;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A failure names the address and its reason, and holds nothing a PAD tag could start with.
void verifyFailure(const NetworkBrowser& browser, const QString& address, const QString& reason) {
    const QString text = browser.bodyText();
    QVERIFY2(text.startsWith(u"The PAD file at %1 could not be loaded: "_s.arg(address)), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY2(!text.contains(u'<'), qPrintable(text));
    QVERIFY(!browser.lastResult().error.isEmpty());
}

const QByteArray PadUtf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                           "<XML_DIZ_INFO>\r\n<Program_Info>\r\n"
                           "<Program_Name>Caf\xC3\xA9 Z\xC3\xBCrich \xE2\x82\xAC</Program_Name>\r\n"
                           "</Program_Info>\r\n</XML_DIZ_INFO>\r\n";
const QString PadUtf8Text = u"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                            "<XML_DIZ_INFO>\r\n<Program_Info>\r\n"
                            "<Program_Name>Café Zürich €</Program_Name>\r\n"
                            "</Program_Info>\r\n</XML_DIZ_INFO>\r\n"_s;

} // namespace

Q_DECLARE_METATYPE(Answer)

class TestNetworkBrowser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_server.listening());
        m_server.answer("/pad.xml", ok("text/xml", PadUtf8));
        m_server.answer("/broken.xml", whole("500 Internal Server Error", "Content-Type: text/xml\r\n",
                                             "<Program_Name>Broken</Program_Name>"));
        m_server.answer("/loop", redirect("/loop"));
        m_server.answer("/silent", {Pace::Never, {}, {}});
        const QByteArray drip(30, 'x');
        m_server.answer("/drip",
                        {Pace::Drip, head("200 OK", "Content-Type: text/plain\r\n", drip.size()), drip});
        m_server.answer("/endless", {Pace::Endless, head("200 OK", "Content-Type: text/xml\r\n"), {}});
        // A chain of exactly the ten redirects allowed, with every kind of target.
        m_server.answer("/r1", redirect(m_server.url(u"/pad.xml"_s).toLatin1())); // absolute
        m_server.answer("/r2", redirect("r1"));                                   // relative to the path
        for (int n = 3; n <= 10; ++n) {
            m_server.answer("/r" + QByteArray::number(n), redirect("/r" + QByteArray::number(n - 1)));
        }
    }

    void documents_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("expected");
        QTest::addRow("PAD in UTF-8") << ok("text/xml", PadUtf8) << PadUtf8Text;
        QTest::addRow("PAD in UTF-8 with a byte order mark")
            << ok("text/xml", "\xEF\xBB\xBF" + PadUtf8) << PadUtf8Text;
        // 0xE9 is é and 0x80 is € in Windows-1252; neither is valid UTF-8 on its own.
        QTest::addRow("Windows-1252 declared")
            << ok("application/xml", "<?xml version=\"1.0\" "
                                     "encoding=\"windows-1252\"?>\n<Program_Name>Caf\xE9 \x80</Program_Name>")
            << u"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<Program_Name>Café €</Program_Name>"_s;
        // PAD files written on Windows that claim ISO-8859-1 hold Windows-1252 bytes.
        QTest::addRow("ISO-8859-1 declared reads as Windows-1252")
            << ok("text/xml", "<?xml version='1.0' encoding='ISO-8859-1'?><Program_Name>\x80</Program_Name>")
            << u"<?xml version='1.0' encoding='ISO-8859-1'?><Program_Name>€</Program_Name>"_s;
        // Served as HTML, yet a document starting with no HTML element stays literal, entities too.
        QTest::addRow("Windows-1252 undeclared, served as HTML")
            << ok("text/html", "<XML_DIZ_INFO><Program_Name>Caf\xE9 &amp; Co</Program_Name></XML_DIZ_INFO>")
            << u"<XML_DIZ_INFO><Program_Name>Café &amp; Co</Program_Name></XML_DIZ_INFO>"_s;
        QTest::addRow("HTTP charset before the declaration")
            << ok("text/xml; charset=windows-1252", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xE9</a>")
            << u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>é</a>"_s;
        // Title, style, script and comment are dropped; block ends and <br> break lines; white
        // space folds; entities decode, &nbsp; to U+00A0.
        QTest::addRow("HTML page")
            << ok("text/html; charset=utf-8",
                  "<!DOCTYPE html>\n<html><head><title>Download</title><style>p { color: red; }</style>\n"
                  "<script>var s = \"<Program_Name>\";</script></head>\n"
                  "<body><h1>Caf&eacute; &amp; more</h1><p>Version&nbsp;2 &lt;beta&gt; &#8364;5 "
                  "&#x41;&#150;</p>\n"
                  "line<br>next <!-- <Program_Name> --> end</body></html>\n")
            << u"Café & more\r\nVersion\u00A02 <beta> €5 A\u2013\r\nline\r\nnext end"_s;
    }

    void documents() {
        QFETCH(Answer, answer);
        QFETCH(QString, expected);
        m_server.answer("/document", answer);
        NetworkBrowser browser;

        browser.navigate(m_server.url(u"/document"_s));
        QCOMPARE(browser.readyState(), ReadyState::Loading);
        QTRY_VERIFY(!browser.busy());
        QCOMPARE(browser.bodyText(), expected);
        QCOMPARE(browser.lastResult().status, 200);
        QCOMPARE(browser.lastResult().error, QString());
    }

    // Every load ends, with a text that names why. A browser that dropped the '<' of an address
    // would let a failure text pass for a PAD tag; the 404 and 500 pages hold a tag of their own.
    void failures_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("reason");
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const QString refused = u"http://127.0.0.1:%1/pad.xml"_s.arg(closed.serverPort());
        closed.close();
        QTest::addRow("404, a tag in the address")
            << m_server.url(u"/<Program_Name>.xml"_s) << u"HTTP status 404 (Not Found)"_s;
        QTest::addRow("500") << m_server.url(u"/broken.xml"_s)
                             << u"HTTP status 500 (Internal Server Error)"_s;
        QTest::addRow("redirect loop") << m_server.url(u"/loop"_s) << u"redirected more than 10 times"_s;
        QTest::addRow("silent server") << m_server.url(u"/silent"_s) << u"no data arrived for 300 ms"_s;
        // A byte every 100 ms never falls silent, but 30 of them pass the 700 ms deadline.
        QTest::addRow("dripping server") << m_server.url(u"/drip"_s) << u"did not end within 700 ms"_s;
        QTest::addRow("endless body") << m_server.url(u"/endless"_s) << u"larger than 65536 bytes"_s;
        QTest::addRow("connection refused") << refused << u"refused"_s;
        QTest::addRow("unsupported scheme")
            << u"ftp://127.0.0.1/pad.xml"_s << u"only http, https and local"_s;
    }

    void failures() {
        QFETCH(QString, address);
        QFETCH(QString, reason);
        NetworkBrowser browser({300ms, 700ms, MaxRedirects, 64 * 1024});

        browser.navigate(address);
        QTRY_VERIFY(!browser.busy());
        verifyFailure(browser, QString(address).replace(u'<', u"%3C"_s), reason);
        QVERIFY(browser.lastResult().body.size() <= 64 * 1024);
    }

    void redirectChain() {
        NetworkBrowser browser;
        browser.navigate(m_server.url(u"/r10"_s));
        QTRY_VERIFY(!browser.busy());
        QCOMPARE(browser.bodyText(), PadUtf8Text);
        QCOMPARE(browser.lastResult().url, QUrl(m_server.url(u"/pad.xml"_s)));
    }

    // https never drops to http, and no redirect leaves the web.
    void redirectRefusal_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("followed");
        QTest::addRow("http to https") << u"http://a.example/x"_s << u"https://a.example/x"_s << true;
        QTest::addRow("https to https") << u"https://a.example/x"_s << u"https://b.example/y"_s << true;
        QTest::addRow("https to http") << u"https://a.example/x"_s << u"http://a.example/x"_s << false;
        QTest::addRow("http to a file") << u"http://a.example/x"_s << u"file:///etc/passwd"_s << false;
    }

    void redirectRefusal() {
        QFETCH(QString, from);
        QFETCH(QString, target);
        QFETCH(bool, followed);
        const QString refusal = RedirectRefusal(QUrl(from), QUrl(target));
        QCOMPARE(refusal.isEmpty(), followed);
        QVERIFY(!refusal.contains(u'<'));
    }

    // An empty address ends at once with no text, and the load it replaced never comes back.
    void emptyAddress_data() {
        QTest::addColumn<QString>("address");
        QTest::addRow("empty") << QString();
        QTest::addRow("blank") << u"  "_s;
    }

    void emptyAddress() {
        QFETCH(QString, address);
        NetworkBrowser browser;
        browser.navigate(m_server.url(u"/pad.xml"_s));
        browser.navigate(address);

        QCOMPARE(browser.readyState(), ReadyState::Complete);
        QTest::qWait(50);
        QCOMPARE(browser.bodyText(), QString());
    }

    // A plain path and a file: address both load from the disk.
    void localFile() {
        QTemporaryDir temp;
        QFile file(temp.filePath(u"pad.xml"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<XML_DIZ_INFO>\r\n<Program_Name>Caf\xE9</Program_Name>\r\n</XML_DIZ_INFO>\r\n");
        file.close();
        NetworkBrowser browser;

        browser.navigate(file.fileName());
        QTRY_VERIFY(!browser.busy());
        QCOMPARE(browser.bodyText(),
                 u"<XML_DIZ_INFO>\r\n<Program_Name>Café</Program_Name>\r\n</XML_DIZ_INFO>\r\n"_s);
        const QString missing = QUrl::fromLocalFile(temp.filePath(u"missing.xml"_s)).toString();
        browser.navigate(missing);
        QTRY_VERIFY(!browser.busy());
        verifyFailure(browser, missing, u"No such file"_s);
    }

private:
    ScriptedServer m_server;
};

QTEST_GUILESS_MAIN(TestNetworkBrowser)
#include "tst_networkbrowser.moc"
