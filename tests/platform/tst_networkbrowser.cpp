#include <QTcpServer>

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
const QString PadUtf8Text =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<XML_DIZ_INFO>\r\n<Program_Name>Café Zürich €</Program_Name>\r\n</XML_DIZ_INFO>\r\n"_s;
constexpr qint64 Cap = 64 * 1024; // the body cap of the browser under test

} // namespace

Q_DECLARE_METATYPE(Answer)

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

    // Every load ends, with the document's text or with a text that names why it failed ("!"
    // and the reason). A browser that dropped the '<' of an address would let a failure text
    // pass for a PAD tag; the 404 and 500 pages hold a tag of their own. Rows with an answer
    // load it from /doc on the loopback server; other addresses starting with "/" are paths on
    // it; {tmp} is a temp folder.
    void loads_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<qint64>("cap"); // Cap: the test's limits; else the default ones
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const QString refused = u"http://127.0.0.1:%1/pad.xml"_s.arg(closed.serverPort());
        closed.close();
        const auto at = [](const char* name, const QString& address, const QString& outcome) {
            QTest::addRow("%s", name) << address << Answer{} << outcome << Cap;
        };
        const auto row = [](const char* name, const Answer& answer, const QString& outcome) {
            QTest::addRow("%s", name) << u"/doc"_s << answer << outcome << Cap;
        };
        const QString tooLarge = u"!larger than 65536 bytes"_s;
        row("PAD in UTF-8", ok("text/xml", PadUtf8), PadUtf8Text);
        row("PAD in UTF-8 with a byte order mark", ok("text/xml", "\xEF\xBB\xBF" + PadUtf8), PadUtf8Text);
        // 0xE9 is é and 0x80 is € in Windows-1252; neither is valid UTF-8 on its own.
        row("Windows-1252 declared",
            ok("application/xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<a>Caf\xE9 \x80</a>"),
            u"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<a>Café €</a>"_s);
        // PAD files written on Windows that claim ISO-8859-1 hold Windows-1252 bytes.
        row("ISO-8859-1 declared reads as Windows-1252",
            ok("text/xml", "<?xml version='1.0' encoding='ISO-8859-1'?><a>\x80</a>"),
            u"<?xml version='1.0' encoding='ISO-8859-1'?><a>€</a>"_s);
        // Served as HTML, yet a document starting with no HTML element stays literal, entities too.
        row("Windows-1252 undeclared, served as HTML",
            ok("text/html", "<XML_DIZ_INFO>Caf\xE9 &amp; Co</XML_DIZ_INFO>"),
            u"<XML_DIZ_INFO>Café &amp; Co</XML_DIZ_INFO>"_s);
        row("HTTP charset before the declaration",
            ok("text/xml; charset=windows-1252", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xE9</a>"),
            u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>é</a>"_s);
        // Title, style, script and comment are dropped; block ends and <br> break lines; white
        // space folds; entities decode, &nbsp; to U+00A0.
        row("HTML page",
            ok("text/html; charset=utf-8",
               "<!DOCTYPE html>\n<html><head><title>Download</title><style>p { color: red; }</style>\n"
               "<script>var s = \"<Program_Name>\";</script></head>\n<body><h1>Caf&eacute; &amp; more</h1>"
               "<p>Version&nbsp;2 &lt;beta&gt; &#8364;5 &#x41;&#150;</p>\nline<br>next <!-- <Program_Name> "
               "--> end</body></html>\n"),
            u"Café & more\r\nVersion\u00A02 <beta> €5 A\u2013\r\nline\r\nnext end"_s);
        row("body at the cap", ok("text/plain", QByteArray(Cap, 'x')), QString(Cap, u'x'));
        row("body a byte past the cap", ok("text/plain", QByteArray(Cap + 1, 'x')), tooLarge);
        row("endless body", {Pace::Endless, head("200 OK", "Content-Type: text/xml\r\n"), {}}, tooLarge);
        at("404, a tag in the address", u"/<Program_Name>.xml"_s, u"!HTTP status 404 (Not Found)"_s);
        row("500",
            whole("500 Internal Server Error", "Content-Type: text/xml\r\n",
                  "<Program_Name>B</Program_Name>"),
            u"!HTTP status 500 (Internal Server Error)"_s);
        at("10 redirects", u"/r10"_s, PadUtf8Text);
        at("11 redirects", u"/r11"_s, u"!redirected more than 10 times"_s);
        row("silent server", {Pace::Never, {}, {}}, u"!no data arrived for 300 ms"_s);
        // A byte every 100 ms never falls silent, but 30 of them pass the 700 ms deadline.
        row("dripping server",
            {Pace::Drip, head("200 OK", "Content-Type: text/plain\r\n", 30), QByteArray(30, 'x')},
            u"!did not end within 700 ms"_s);
        at("connection refused", refused, u"!refused"_s);
        at("unsupported scheme", u"ftp://127.0.0.1/pad.xml"_s, u"!only http, https and local"_s);
        // A plain path and a file: address both load from the disk.
        at("local file", u"{tmp}/pad.xml"_s,
           u"<XML_DIZ_INFO>\r\n<Program_Name>Café</Program_Name>\r\n</XML_DIZ_INFO>\r\n"_s);
        at("local file missing", u"file://{tmp}/missing.xml"_s, u"!No such file"_s);
        // A browser with the default limits takes a body of 16 MiB, and not a byte more.
        QTest::addRow("16 MiB, the default cap")
            << u"/doc"_s << ok("text/plain", QByteArray(MaxBodyBytes, 'x')) << QString(MaxBodyBytes, u'x')
            << MaxBodyBytes;
        QTest::addRow("16 MiB and a byte") << u"/doc"_s << ok("text/plain", QByteArray(MaxBodyBytes + 1, 'x'))
                                           << u"!larger than 16 MiB"_s << MaxBodyBytes;
        // Qt stops unpacking a body that grows out of all proportion to its size, and says no more.
        QTest::addRow("decompression bomb")
            << u"/doc"_s
            << whole("200 OK", "Content-Type: text/xml\r\nContent-Encoding: deflate\r\n",
                     qCompress(QByteArray(12 * 1024 * 1024, '\0')).mid(4))
            << u"!Decompression failed: the compressed document unpacks to far more than its own size"_s
            << MaxBodyBytes;
        // A blank address ends at once with no text, and the load it replaced never comes back.
        at("empty address", QString(), QString());
        at("blank address", u"  "_s, QString());
    }
    void loads() {
        QFETCH(QString, address);
        QFETCH(Answer, answer);
        QFETCH(QString, outcome);
        QFETCH(qint64, cap);
        const bool served = address.startsWith(u'/');
        if (answer.pace != Pace::Whole || !answer.head.isEmpty()) {
            m_server.answer(address.toLatin1(), answer);
        }
        address = served ? m_server.url(address) : address.replace(u"{tmp}"_s, m_temp.path());
        NetworkBrowser browser(cap == Cap ? FetchLimits{300ms, 700ms, MaxRedirects, Cap} : FetchLimits{});
        const bool blank = address.trimmed().isEmpty();
        if (blank) {
            browser.navigate(m_server.url(u"/pad.xml"_s));
        }
        browser.navigate(address);
        QCOMPARE(browser.readyState() == ReadyState::Loading, address.startsWith(u"http"_s));
        QTRY_VERIFY_WITH_TIMEOUT(!browser.busy(), 30000);
        QTest::qWait(blank ? 50 : 0);
        QVERIFY(browser.lastResult().body.size() <= cap);
        const QString body = browser.bodyText();
        if (!outcome.startsWith(u'!')) {
            QCOMPARE(body, outcome);
            QCOMPARE(browser.lastResult().status, served ? 200 : 0);
            QCOMPARE(browser.lastResult().error, QString());
            QVERIFY(!address.contains(u"/r1"_s) ||
                    browser.lastResult().url == QUrl(m_server.url(u"/pad.xml"_s)));
            return;
        }
        QVERIFY2(body.startsWith(
                     u"The PAD file at %1 could not be loaded: "_s.arg(address.replace(u'<', u"%3C"_s))),
                 qPrintable(body));
        QVERIFY2(body.contains(outcome.mid(1)) && !body.contains(u'<'), qPrintable(body));
        QVERIFY(!browser.lastResult().error.isEmpty());
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

private:
    ScriptedServer m_server;
    QTemporaryDir m_temp;
};

QTEST_GUILESS_MAIN(TestNetworkBrowser)
#include "tst_networkbrowser.moc"
