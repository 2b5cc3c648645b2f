#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <optional>

#include "files/TextFile.h"
#include "platform/Browser.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace vt::platform {

// Every load ends, whatever the server does.
// A server that sends nothing for this long is taken as gone.
inline constexpr std::chrono::milliseconds MaxSilence = std::chrono::seconds(30);
// A server that drips a byte now and then never falls silent, so the whole load (redirects
// included) has a deadline of its own.
inline constexpr std::chrono::milliseconds MaxLoadTime = std::chrono::seconds(120);
// A load that has had no byte for this long (or is still connecting) is stalled: it waits on,
// with its own waits, but no longer takes the place of a transfer under way. A quarter of the
// no-data wait when that is shorter: a place held by a dead host is lost to every other load.
inline constexpr std::chrono::milliseconds StallAfter = std::chrono::seconds(3);
// Redirect loops end; https never drops to http whatever the count.
inline constexpr int MaxRedirects = 10;
// An endless body must not fill the memory: the cap of every document read.
inline constexpr qint64 MaxBodyBytes = files::MaxDocumentBytes;

struct FetchLimits {
    std::chrono::milliseconds silence = MaxSilence;
    std::chrono::milliseconds total = MaxLoadTime;
    int redirects = MaxRedirects;
    qint64 bodyBytes = MaxBodyBytes;
};

// The no-data wait a user may set, in seconds; the whole load may take four times as long.
inline constexpr int MinNoDataWait = 1;
inline constexpr int MaxNoDataWait = 3600;
// A wait as a user types it: a whole number of seconds in that range, or nothing.
std::optional<int> NoDataWaitOf(const QString& text);
inline FetchLimits LimitsWithNoDataWait(std::chrono::seconds wait) {
    FetchLimits limits;
    limits.silence = wait;
    limits.total = 4 * wait;
    return limits;
}

// What the last load gave: the address it ended at, the HTTP status (0 for a local file or when
// no answer came), the body as received, its content type, and why it failed ("" when it did not).
struct FetchResult {
    QUrl url;
    int status = 0;
    QByteArray body;
    QString contentType;
    QString error;
    Validators validators;    // what the server sent to identify this version of the document
    bool notModified = false; // the server answered 304 to a load made with validators
};

// What an address names, as the browser reads it: a web address (http or https), a local file
// (a file: address or a plain absolute path), or anything else (a bare name, another scheme).
enum class AddressKind { Web, LocalFile, Other };
AddressKind KindOfAddress(const QString& address);

// Why a redirect from one address to another is not followed, or "" when it is.
QString RedirectRefusal(const QUrl& from, const QUrl& target);

// One load of one address, from its start to its end, which it reaches by itself whatever the
// server does. A local file is read at once when the load starts. A load given validators asks
// for the document only if it changed since (on every hop of its redirects).
class PageLoad final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageLoad)

public:
    PageLoad(QString address, QNetworkAccessManager& network, const FetchLimits& limits,
             Validators since = {}, QObject* parent = nullptr);
    ~PageLoad() override;

    void start();
    bool started() const { return m_started; }
    bool ended() const { return m_ended; }
    bool stalled() const { return m_stalled; }
    const QString& address() const { return m_address; }
    // What the load gave, and the text the document shows (a text of ours when it failed); both
    // empty until it ended.
    const FetchResult& result() const { return m_result; }
    const QString& text() const { return m_text; }

signals:
    void finished();
    // Body bytes arrived.
    void grew();
    // The load fell silent for StallAfter, or was heard from again after it did.
    void stalledChanged();

private:
    void request(const QUrl& url);
    void loadLocalFile(const QString& path);
    void heard();
    void onData();
    void onHeaders();
    void onFinished();
    void dropReply();
    void succeed();
    void fail(const QString& reason);

    QString m_address;
    QNetworkAccessManager& m_network;
    FetchLimits m_limits;
    Validators m_since;
    QNetworkReply* m_reply = nullptr;
    QTimer m_silenceTimer;
    QTimer m_deadlineTimer;
    QTimer m_stallTimer;
    int m_redirectCount = 0;
    bool m_started = false;
    bool m_ended = false;
    bool m_stalled = false;
    FetchResult m_result;
    QString m_text;
};

} // namespace vt::platform
