#include "platform/PageLoad.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>
#include <utility>

#include "platform/ControlNumbers.h"
#include "platform/DocumentText.h"
#include "platform/FileSystem.h"

namespace vt::platform {

using namespace Qt::StringLiterals;

namespace {

// The text shown for a failed load. It never holds '<', so no PAD tag can be found in it.
constexpr QStringView FailureText = u"The PAD file at %1 could not be loaded: %2.";

QString describeDuration(std::chrono::milliseconds duration) {
    const auto count = duration.count();
    if (count == 1000) {
        return u"1 second"_s;
    }
    return count % 1000 == 0 ? u"%1 seconds"_s.arg(count / 1000) : u"%1 ms"_s.arg(count);
}

QString describeSize(qint64 bytes) {
    constexpr qint64 MiB = 1024 * 1024;
    return bytes % MiB == 0 ? u"%1 MiB"_s.arg(bytes / MiB) : u"%1 bytes"_s.arg(bytes);
}

bool isHttp(const QUrl& url) {
    return url.scheme() == u"http"_s || url.scheme() == u"https"_s;
}

// Qt stops unpacking a compressed body that grows out of all proportion to its size (a
// decompression bomb) but gives its "Decompression failed: " no reason: say it.
QString withReason(const QString& errorText) {
    const QString trimmed = errorText.trimmed();
    if (trimmed.startsWith(u"Decompression failed"_s) && trimmed.endsWith(u':')) {
        return trimmed + u" the compressed document unpacks to far more than its own size, as a "
                         "decompression bomb does, so it was not unpacked"_s;
    }
    return errorText;
}

// An absolute path of this system (a Qt resource path, ":...", is none).
bool isPlainPath(const QString& address) {
    return QDir::isAbsolutePath(address) && !address.startsWith(u':');
}

// A plain absolute path names a local file; anything else is read as a web address, the way a
// browser's address bar reads it ("example.com/pad.xml" is http).
QUrl urlOf(const QString& address) {
    if (isPlainPath(address)) {
        return QUrl::fromLocalFile(address);
    }
    return QUrl::fromUserInput(address);
}

} // namespace

std::optional<int> NoDataWaitOf(const QString& text) {
    const std::optional<std::int32_t> seconds = toInt32(text);
    if (!seconds || *seconds < MinNoDataWait || *seconds > MaxNoDataWait) {
        return std::nullopt;
    }
    return *seconds;
}

AddressKind KindOfAddress(const QString& address) {
    const QString trimmed = address.trimmed();
    if (isPlainPath(trimmed)) {
        return AddressKind::LocalFile;
    }
    const QUrl url(trimmed, QUrl::StrictMode);
    if (url.isLocalFile()) {
        return AddressKind::LocalFile;
    }
    return url.isValid() && isHttp(url) && !url.host().isEmpty() ? AddressKind::Web : AddressKind::Other;
}

QString RedirectRefusal(const QUrl& from, const QUrl& target) {
    if (!target.isValid() || !isHttp(target)) {
        return u"the server redirected to %1, which is no http or https address"_s.arg(
            target.toString(QUrl::RemoveUserInfo));
    }
    if (from.scheme() == u"https"_s && target.scheme() == u"http"_s) {
        return u"the server redirected from https to the unencrypted address %1"_s.arg(
            target.toString(QUrl::RemoveUserInfo));
    }
    return QString();
}

PageLoad::PageLoad(QString address, QNetworkAccessManager& network, const FetchLimits& limits,
                   Validators since, QObject* parent)
    : QObject(parent)
    , m_address(std::move(address))
    , m_network(network)
    , m_limits(limits)
    , m_since(std::move(since)) {
    m_silenceTimer.setSingleShot(true);
    m_silenceTimer.setInterval(m_limits.silence);
    m_deadlineTimer.setSingleShot(true);
    m_deadlineTimer.setInterval(m_limits.total);
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(std::min(StallAfter, m_limits.silence / 4));
    connect(&m_stallTimer, &QTimer::timeout, this, [this] {
        m_stalled = true;
        emit stalledChanged();
    });
    connect(&m_silenceTimer, &QTimer::timeout, this, [this] {
        dropReply();
        fail(u"no data arrived for %1"_s.arg(describeDuration(m_limits.silence)));
    });
    connect(&m_deadlineTimer, &QTimer::timeout, this, [this] {
        dropReply();
        fail(u"the load did not end within %1"_s.arg(describeDuration(m_limits.total)));
    });
}

PageLoad::~PageLoad() {
    dropReply();
}

void PageLoad::start() {
    m_started = true;
    const QUrl url = urlOf(m_address);
    m_result.url = url;
    if (url.isLocalFile()) {
        loadLocalFile(url.toLocalFile());
    } else if (!url.isValid() || !isHttp(url)) {
        fail(u"only http, https and local files can be loaded"_s);
    } else {
        m_deadlineTimer.start();
        request(url);
    }
}

void PageLoad::loadLocalFile(const QString& path) {
    const Result<int> opened = OpenRegularFile(path);
    if (!opened) {
        fail(opened.message());
        return;
    }
    QFile file;
    if (!file.open(opened.value(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        fail(file.errorString());
        return;
    }
    m_result.body = file.read(m_limits.bodyBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        fail(file.errorString());
    } else if (m_result.body.size() > m_limits.bodyBytes) {
        m_result.body.truncate(m_limits.bodyBytes);
        fail(u"the document is larger than %1"_s.arg(describeSize(m_limits.bodyBytes)));
    } else {
        succeed();
    }
}

void PageLoad::request(const QUrl& url) {
    m_result.url = url;
    m_result.body.clear();
    QNetworkRequest request(url);
    // Each hop is checked here: the count, and that https never drops to http.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // A list names a PAD file on nearly every host once: a connection kept open for a next request
    // that never comes would hold a socket beyond MaxOpenLoads, and thousands of hosts would
    // exhaust the descriptors of the process.
    request.setRawHeader("Connection", "close");
    if (!m_since.etag.isEmpty()) {
        request.setRawHeader("If-None-Match", m_since.etag.toLatin1());
    }
    if (!m_since.lastModified.isEmpty()) {
        request.setRawHeader("If-Modified-Since", m_since.lastModified.toLatin1());
    }
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &PageLoad::onHeaders);
    connect(m_reply, &QNetworkReply::readyRead, this, &PageLoad::onData);
    connect(m_reply, &QNetworkReply::finished, this, &PageLoad::onFinished);
    heard();
}

// The waits for silence start again from now.
void PageLoad::heard() {
    m_silenceTimer.start();
    m_stallTimer.start();
    if (m_stalled) {
        m_stalled = false;
        emit stalledChanged();
    }
}

void PageLoad::onHeaders() {
    heard();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.bodyBytes) {
        dropReply();
        fail(u"the document is larger than %1"_s.arg(describeSize(m_limits.bodyBytes)));
    }
}

void PageLoad::onData() {
    heard();
    const QByteArray arrived = m_reply->readAll();
    m_result.body += arrived;
    if (m_result.body.size() > m_limits.bodyBytes) {
        m_result.body.truncate(m_limits.bodyBytes);
        dropReply();
        fail(u"the document is larger than %1"_s.arg(describeSize(m_limits.bodyBytes)));
    } else if (!arrived.isEmpty()) {
        emit grew();
    }
}

void PageLoad::onFinished() {
    onData();
    if (m_reply == nullptr) {
        return;
    }
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString reasonPhrase =
        QString::fromLatin1(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
    const QUrl target = m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const QNetworkReply::NetworkError error = m_reply->error();
    const QString errorText = m_reply->errorString();
    m_result.status = status;
    m_result.contentType = m_reply->header(QNetworkRequest::ContentTypeHeader).toString();
    m_result.validators = {QString::fromLatin1(m_reply->rawHeader("ETag")),
                           QString::fromLatin1(m_reply->rawHeader("Last-Modified"))};
    dropReply();

    if (status >= 300 && status < 400 && !target.isEmpty()) {
        const QUrl next = m_result.url.resolved(target);
        const QString refusal = RedirectRefusal(m_result.url, next);
        if (m_redirectCount >= m_limits.redirects) {
            fail(u"the server redirected more than %1 times"_s.arg(m_limits.redirects));
        } else if (!refusal.isEmpty()) {
            fail(refusal);
        } else {
            ++m_redirectCount;
            request(next);
        }
    } else if (status == 304 && !m_since.isEmpty()) {
        // Unchanged since the validators sent; what the answer carries of them is reported as sent.
        m_result.notModified = true;
        succeed();
    } else if (status >= 300) {
        fail(reasonPhrase.isEmpty()
                 ? u"the server answered with HTTP status %1"_s.arg(status)
                 : u"the server answered with HTTP status %1 (%2)"_s.arg(status).arg(reasonPhrase));
    } else if (error != QNetworkReply::NoError) {
        fail(withReason(errorText));
    } else {
        succeed();
    }
}

void PageLoad::dropReply() {
    if (m_reply == nullptr) {
        return;
    }
    QNetworkReply* reply = std::exchange(m_reply, nullptr);
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

void PageLoad::succeed() {
    m_silenceTimer.stop();
    m_deadlineTimer.stop();
    m_stallTimer.stop();
    m_text = DocumentText(m_result.body, m_result.contentType);
    m_ended = true;
    emit finished();
}

void PageLoad::fail(const QString& reason) {
    m_silenceTimer.stop();
    m_deadlineTimer.stop();
    m_stallTimer.stop();
    m_result.error = reason;
    // '<' cannot stand in an address and must not reach the text, where it could start a tag.
    m_text = FailureText.toString().arg(m_address, reason).replace(u'<', u"%3C"_s);
    m_ended = true;
    emit finished();
}

} // namespace vt::platform
