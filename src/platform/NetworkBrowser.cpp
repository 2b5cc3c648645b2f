#include "platform/NetworkBrowser.h"

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

// A load of the address, started, and counted among the open loads until it ends or is dropped.
std::unique_ptr<PageLoad> NetworkBrowser::startLoad(const QString& address) {
    auto load = std::make_unique<PageLoad>(address, *m_network, m_limits,
                                           m_conditions ? m_conditions(address) : Validators());
    PageLoad* started = load.get();
    ++m_open;
    ++m_hosts[hostOf(address)].open;
    connect(started, &PageLoad::finished, this, [this, started] {
        release(*started);
        startLoadsAhead();
    });
    connect(started, &PageLoad::stalledChanged, this, [this, started] {
        m_stalled += started->stalled() ? 1 : -1;
        startLoadsAhead();
    });
    started->start();
    return load;
}

void NetworkBrowser::release(const PageLoad& load) {
    --m_open;
    m_stalled -= load.stalled() ? 1 : 0;
    const QString host = hostOf(load.address());
    --m_hosts[host].open;
    reconsider(host);
}

// Ends a load that no navigation will take (a load that ended is only freed).
void NetworkBrowser::drop(std::unique_ptr<PageLoad> load) {
    if (load && load->started() && !load->ended()) {
        load->disconnect(this);
        release(*load);
    }
}

// The host stands in m_ready at the place of its first waiting address while it has room for
// one more load; a host with nothing open or waiting is forgotten.
void NetworkBrowser::reconsider(const QString& host) {
    const auto found = m_hosts.find(host);
    if (found == m_hosts.end()) {
        return;
    }
    if (found->readyAt >= 0) {
        m_ready.erase({found->readyAt, host});
        found->readyAt = -1;
    }
    if (found->open < MaxLoadsPerHost && !found->waiting.empty()) {
        found->readyAt = found->waiting.front();
        m_ready.emplace(found->readyAt, host);
    } else if (found->open == 0 && found->waiting.empty()) {
        m_hosts.erase(found);
    }
}

void NetworkBrowser::navigate(const QString& address) {
    const QString trimmed = address.trimmed();
    m_navigated = true;
    drop(std::move(m_current));
    if (!m_ahead.empty() && m_ahead.front().address == trimmed) {
        Ahead next = std::move(m_ahead.front());
        m_ahead.pop_front();
        ++m_front;
        m_bytesAhead -= next.bytes;
        if (!next.host.isEmpty() && !next.load) {
            // Not started yet: it leaves its host's queue, where it stands first.
            m_hosts[next.host].waiting.pop_front();
            reconsider(next.host);
        }
        m_current = std::move(next.load);
    }
    if (!m_current && !trimmed.isEmpty()) {
        m_current = startLoad(trimmed);
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

// Keeps the loads that the new list still asks for in the same order, drops the others. The
// cost is that of the addresses kept and added, so a caller tells a long plan now and then, not
// at every navigation.
void NetworkBrowser::prefetch(const QStringList& addresses) {
    if (m_parallel <= 1) {
        return; // one at a time: each load starts when it is navigated to
    }
    const std::size_t wanted = std::size_t(std::min<qsizetype>(addresses.size(), MaxLoadsAhead));
    std::size_t kept = 0;
    while (kept < m_ahead.size() && kept < wanted &&
           m_ahead[kept].address == addresses[qsizetype(kept)].trimmed()) {
        ++kept;
    }
    if (kept < m_ahead.size()) {
        while (m_ahead.size() > kept) {
            m_bytesAhead -= m_ahead.back().bytes;
            drop(std::move(m_ahead.back().load));
            m_ahead.pop_back();
        }
        const qint64 end = m_front + qint64(kept);
        QStringList shortened;
        for (auto host = m_hosts.begin(); host != m_hosts.end(); ++host) {
            if (!host->waiting.empty() && host->waiting.back() >= end) {
                while (!host->waiting.empty() && host->waiting.back() >= end) {
                    host->waiting.pop_back();
                }
                shortened += host.key();
            }
        }
        for (const QString& host : shortened) {
            reconsider(host);
        }
    }
    for (std::size_t i = kept; i < wanted; ++i) {
        Ahead& entry = m_ahead.emplace_back();
        entry.address = addresses[qsizetype(i)].trimmed();
        // Only web addresses are loaded ahead; a local file is read when it is navigated to.
        if (KindOfAddress(entry.address) == AddressKind::Web) {
            entry.host = hostOf(entry.address);
            Host& host = m_hosts[entry.host];
            host.waiting.push_back(m_front + qint64(i));
            if (host.waiting.size() == 1) {
                reconsider(entry.host);
            }
        }
    }
    startLoadsAhead();
}

void NetworkBrowser::setNoDataWait(std::chrono::seconds wait) {
    const FetchLimits waits = LimitsWithNoDataWait(wait);
    m_limits.silence = waits.silence;
    m_limits.total = waits.total;
}

void NetworkBrowser::stop() {
    drop(std::move(m_current));
    while (!m_ahead.empty()) {
        drop(std::move(m_ahead.back().load));
        m_ahead.pop_back();
    }
    m_hosts.clear();
    m_ready.clear();
    m_bytesAhead = 0;
}

// Starts the loads ahead in the order of the plan, passing over the hosts that have their share
// open, while the transfers under way, the open loads and the bytes held ahead allow.
void NetworkBrowser::startLoadsAhead() {
    while (!m_ready.empty() && m_open < MaxOpenLoads && m_open - m_stalled < m_parallel &&
           m_bytesAhead < MaxBytesAhead / 2) {
        const QString host = m_ready.begin()->second;
        std::deque<qint64>& waiting = m_hosts[host].waiting;
        const qint64 place = waiting.front();
        waiting.pop_front();
        Ahead& entry = m_ahead[std::size_t(place - m_front)];
        entry.load = startLoad(entry.address);
        connect(entry.load.get(), &PageLoad::grew, this, [this, place] { grewAhead(place); });
        reconsider(host);
    }
}

void NetworkBrowser::grewAhead(qint64 place) {
    if (place < m_front) {
        return; // navigated to: its body is no longer held ahead
    }
    Ahead& entry = m_ahead[std::size_t(place - m_front)];
    const qint64 size = entry.load->result().body.size();
    m_bytesAhead += size - entry.bytes;
    entry.bytes = size;
    if (m_bytesAhead > MaxBytesAhead && !m_memoryCheckDue) {
        // Loads are dropped from the event loop, not inside the signal of one of them.
        m_memoryCheckDue = true;
        QMetaObject::invokeMethod(this, &NetworkBrowser::keepWithinMemory, Qt::QueuedConnection);
    }
}

// The bodies held ahead stay within their bound: the furthest loads ahead are dropped, and wait
// to be made again, until they fit.
void NetworkBrowser::keepWithinMemory() {
    m_memoryCheckDue = false;
    for (std::size_t i = m_ahead.size(); i-- > 0 && m_bytesAhead > MaxBytesAhead;) {
        Ahead& entry = m_ahead[i];
        if (!entry.load) {
            continue;
        }
        m_bytesAhead -= std::exchange(entry.bytes, 0);
        drop(std::move(entry.load));
        std::deque<qint64>& waiting = m_hosts[entry.host].waiting;
        const qint64 place = m_front + qint64(i);
        waiting.insert(std::lower_bound(waiting.begin(), waiting.end(), place), place);
        reconsider(entry.host);
    }
    startLoadsAhead();
}

} // namespace vt::platform
