#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <set>
#include <utility>

#include "platform/Browser.h"
#include "platform/DocumentText.h"
#include "platform/PageLoad.h"

class QNetworkAccessManager;

namespace vt::platform {

// The loads started ahead of the one being waited for: polite to each host and bounded in memory.
inline constexpr int DefaultParallelLoads = 32; // transfers under way, the one waited for included
inline constexpr int MaxLoadsPerHost = 4;       // open to one host name and port, stalled or not
inline constexpr int MaxLoadsAhead = 8192;      // addresses ahead that may be loaded, finished or not
inline constexpr qint64 MaxBytesAhead = qint64(256) * 1024 * 1024;
// Open loads in all, the stalled ones included: each holds a socket until its own waits end.
inline constexpr int MaxOpenLoads = 256;

// The browser on QtNetwork: loads http, https and local files (file: addresses and plain
// absolute paths). The caller waits by processing events until the load it navigated to ended.
// The web addresses it is told come next are loaded ahead, several at once on the one thread,
// each load with its own limits; navigating to the next of them takes its load as it stands. A
// stalled load (PageLoad::stalled) waits on outside the transfers under way, so a dead host holds
// a socket and no more; a navigation elsewhere loads that address alone and keeps the plan.
class NetworkBrowser final : public QObject, public Browser {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NetworkBrowser)

public:
    // parallel: loads in flight at most; 1 loads one at a time, nothing ahead.
    explicit NetworkBrowser(FetchLimits limits = {}, int parallel = DefaultParallelLoads,
                            QObject* parent = nullptr);
    ~NetworkBrowser() override;

    void navigate(const QString& address) override;
    ReadyState readyState() const override;
    bool busy() const override { return readyState() == ReadyState::Loading; }
    QString bodyText() const override { return m_current ? m_current->text() : QString(); }
    QString failure() const override { return m_current ? m_current->result().error : QString(); }
    void prefetch(const QStringList& addresses) override;
    void stop() override;
    void setNoDataWait(std::chrono::seconds wait) override;
    void setConditions(Conditions conditions) override { m_conditions = std::move(conditions); }
    bool notModified() const override { return m_current && m_current->result().notModified; }
    Validators validators() const override {
        return m_current ? m_current->result().validators : Validators();
    }

    const FetchResult& lastResult() const;

private:
    // An address the next navigations ask for, and its load once it was started ahead.
    struct Ahead {
        QString address;
        QString host; // "" for what is read only when navigated to: a local file, a refused entry
        std::unique_ptr<PageLoad> load;
        qint64 bytes = 0; // of its body, as last counted in m_bytesAhead
    };
    // The loads open to one host, and its addresses ahead not started yet, by place in the plan.
    struct Host {
        int open = 0;
        std::deque<qint64> waiting;
        qint64 readyAt = -1; // its key in m_ready, or -1 when it is not there
    };

    std::unique_ptr<PageLoad> startLoad(const QString& address);
    void release(const PageLoad& load);
    void drop(std::unique_ptr<PageLoad> load);
    void reconsider(const QString& host);
    void startLoadsAhead();
    void grewAhead(qint64 place);
    void keepWithinMemory();

    FetchLimits m_limits;
    Conditions m_conditions;
    int m_parallel;
    QNetworkAccessManager* m_network;
    bool m_navigated = false;
    std::unique_ptr<PageLoad> m_current;
    // The plan: the addresses the next navigations ask for, in order; the first has place m_front.
    std::deque<Ahead> m_ahead;
    qint64 m_front = 0;
    QHash<QString, Host> m_hosts;
    // The hosts with room for one more load and an address waiting, by the place of that address.
    std::set<std::pair<qint64, QString>> m_ready;
    int m_open = 0;    // loads started and not ended, the current one included
    int m_stalled = 0; // of those, the stalled ones
    qint64 m_bytesAhead = 0;
    bool m_memoryCheckDue = false;
};

} // namespace vt::platform
