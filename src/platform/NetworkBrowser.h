#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>

#include "platform/Browser.h"
#include "platform/DocumentText.h"
#include "platform/PageLoad.h"

class QNetworkAccessManager;

namespace vt::platform {

// The loads started ahead of the one being waited for: polite to each host and bounded in memory.
inline constexpr int DefaultParallelLoads = 32; // in flight in all, the one waited for included
inline constexpr int MaxLoadsPerHost = 4;       // in flight to one host name and port
inline constexpr int MaxLoadsAhead = 64;        // started ahead, finished or not
inline constexpr qint64 MaxBytesAhead = qint64(256) * 1024 * 1024;

// The browser on QtNetwork: loads http, https and local files (file: addresses and plain
// absolute paths). The caller waits by processing events until the load it navigated to ended.
// The web addresses it is told come next are loaded ahead, several at once on the one thread,
// each load with its own limits; navigating to the next of them takes its load as it stands.
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
    std::unique_ptr<PageLoad> newLoad(const QString& address);
    void startLoadsAhead();
    void keepWithinMemory();

    FetchLimits m_limits;
    Conditions m_conditions;
    int m_parallel;
    QNetworkAccessManager* m_network;
    bool m_navigated = false;
    std::unique_ptr<PageLoad> m_current;
    // The loads of the addresses the next navigations ask for, in order, started or not.
    std::deque<std::unique_ptr<PageLoad>> m_ahead;
};

} // namespace vt::platform
