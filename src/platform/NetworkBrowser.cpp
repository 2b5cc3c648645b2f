#include "platform/NetworkBrowser.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QUrl>

#include <algorithm>

namespace vt::platform {
namespace {

// The host name and port a load goes to, by which loads in flight are counted per host.
QString hostOf(const QString& address) {
    const QUrl url(address);
    return url.host() + u':' + QString::number(url.port(url.scheme() == u"https" ? 443 : 80));
}

} // namespace

NetworkBrowser::NetworkBrowser(FetchLimits limits, int parallel, QObject* parent)
    : QObject(parent)
    , m_limits(limits)
    , m_parallel(parallel)
    , m_network(new QNetworkAccessManager(this)) {}

NetworkBrowser::~NetworkBrowser() = default;

std::unique_ptr<PageLoad> NetworkBrowser::newLoad(const QString& address) {
    auto load = std::make_unique<PageLoad>(address, *m_network, m_limits,
                                           m_conditions ? m_conditions(address) : Validators());
    connect(load.get(), &PageLoad::finished, this, &NetworkBrowser::startLoadsAhead);
    connect(load.get(), &PageLoad::grew, this, &NetworkBrowser::keepWithinMemory);
    return load;
}

void NetworkBrowser::navigate(const QString& address) {
    const QString trimmed = address.trimmed();
    m_navigated = true;
    std::unique_ptr<PageLoad> next;
    if (!m_ahead.empty() && m_ahead.front()->address() == trimmed) {
        next = std::move(m_ahead.front());
        m_ahead.pop_front();
    } else {
        m_ahead.clear(); // the navigations went another way: what was loaded ahead is no use
    }
    m_current.reset();
    if (!trimmed.isEmpty()) {
        m_current = next ? std::move(next) : newLoad(trimmed);
        if (!m_current->started()) {
            m_current->start();
        }
    }
    startLoadsAhead();
}

ReadyState NetworkBrowser::readyState() const {
    if (!m_navigated) {
        return ReadyState::Uninitialized;
    }
    return m_current && !m_current->ended() ? ReadyState::Loading : ReadyState::Complete;
}

const FetchResult& NetworkBrowser::lastResult() const {
    static const FetchResult none;
    return m_current ? m_current->result() : none;
}

// Keeps the loads that the new list still asks for in the same order, drops the others.
void NetworkBrowser::prefetch(const QStringList& addresses) {
    if (m_parallel <= 1) {
        return; // one at a time: each load starts when it is navigated to
    }
    std::size_t kept = 0;
    while (kept < m_ahead.size() && qsizetype(kept) < addresses.size() &&
           m_ahead[kept]->address() == addresses[qsizetype(kept)].trimmed()) {
        ++kept;
    }
    m_ahead.resize(kept);
    for (qsizetype i = qsizetype(kept); i < std::min<qsizetype>(addresses.size(), MaxLoadsAhead); ++i) {
        m_ahead.push_back(newLoad(addresses[i].trimmed()));
    }
    startLoadsAhead();
}

void NetworkBrowser::setNoDataWait(std::chrono::seconds wait) {
    const FetchLimits waits = LimitsWithNoDataWait(wait);
    m_limits.silence = waits.silence;
    m_limits.total = waits.total;
}

void NetworkBrowser::stop() {
    m_current.reset();
    m_ahead.clear();
}

// Starts the loads ahead, in order, while the limits allow: in flight in all and per host,
// started ahead, and the bytes they hold. Only web addresses are loaded ahead; a local file is
// read when it is navigated to.
void NetworkBrowser::startLoadsAhead() {
    QHash<QString, int> perHost;
    int inFlight = 0;
    int started = 0;
    qint64 bytes = 0;
    const auto count = [&](const PageLoad& load) {
        if (load.started() && !load.ended()) {
            ++inFlight;
            ++perHost[hostOf(load.address())];
        }
    };
    if (m_current) {
        count(*m_current);
    }
    for (const std::unique_ptr<PageLoad>& load : m_ahead) {
        count(*load);
        started += load->started() ? 1 : 0;
        bytes += load->result().body.size();
    }
    for (const std::unique_ptr<PageLoad>& load : m_ahead) {
        if (inFlight >= m_parallel || started >= MaxLoadsAhead || bytes >= MaxBytesAhead / 2) {
            return;
        }
        if (load->started() || KindOfAddress(load->address()) != AddressKind::Web) {
            continue;
        }
        int& toHost = perHost[hostOf(load->address())];
        if (toHost < MaxLoadsPerHost) {
            load->start();
            ++toHost;
            ++inFlight;
            ++started;
        }
    }
}

// The bodies held ahead stay within their bound: the furthest loads ahead are dropped (and made
// again when they are reached) until they fit.
void NetworkBrowser::keepWithinMemory() {
    qint64 bytes = 0;
    for (const std::unique_ptr<PageLoad>& load : m_ahead) {
        bytes += load->result().body.size();
    }
    for (auto load = m_ahead.rbegin(); load != m_ahead.rend() && bytes > MaxBytesAhead; ++load) {
        if ((*load)->started()) {
            bytes -= (*load)->result().body.size();
            // This runs inside a load's own signal, perhaps the dropped load's: it goes later.
            PageLoad* dropped = load->release();
            dropped->disconnect(this);
            dropped->deleteLater();
            *load = newLoad(dropped->address());
        }
    }
}

} // namespace vt::platform
