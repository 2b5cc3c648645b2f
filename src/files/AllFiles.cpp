#include "files/AllFiles.h"

#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

#include "files/OneLook.h"
#include "platform/FileSystem.h"

namespace vt::files {
namespace {

using platform::EntryStamp;

// Callers list a handful of folders in turn (a text folder, a category's subfolders).
constexpr std::size_t CachedFolders = 8;

struct CachedListing {
    QString folder;
    EntryStamp stamp;
    QStringList names;
    std::uint64_t look = 0; // the OneLook that last found it, which finds it again unlooked
};

class ListingCache {
public:
    // The listing the open look has already found, if any.
    std::optional<QStringList> seen(const QString& folder, std::uint64_t look) {
        QMutexLocker lock(&m_mutex);
        for (const CachedListing& entry : m_entries) {
            if (look != 0 && entry.look == look && entry.folder == folder) {
                return entry.names;
            }
        }
        return std::nullopt;
    }

    std::optional<QStringList> find(const QString& folder, const EntryStamp& stamp, std::uint64_t look) {
        QMutexLocker lock(&m_mutex);
        for (CachedListing& entry : m_entries) {
            if (entry.folder == folder && entry.stamp == stamp) {
                entry.look = look;
                return entry.names;
            }
        }
        return std::nullopt;
    }

    void store(CachedListing listing) {
        QMutexLocker lock(&m_mutex);
        auto same = [&](const CachedListing& entry) {
            return entry.folder == listing.folder;
        };
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), same), m_entries.end());
        if (m_entries.size() == CachedFolders) {
            m_entries.pop_back();
        }
        m_entries.push_front(std::move(listing));
    }

private:
    QMutex m_mutex;
    std::deque<CachedListing> m_entries;
};

ListingCache& cache() {
    static ListingCache instance;
    return instance;
}

// Windows volumes order names by their upper-case code units.
void sortAsWindows(QStringList& names) {
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (QString& name : names) {
        QString key = name;
        for (QChar& c : key) {
            c = c.toUpper();
        }
        keyed.emplace_back(std::move(key), std::move(name));
    }
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& entry : keyed) {
        names += std::move(entry.second);
    }
}

} // namespace

Result<QStringList> AllFiles(const QString& fullPath) {
    const QStringList nothingFound{QString()};
    const std::uint64_t look = OneLook::current();
    if (std::optional<QStringList> seen = cache().seen(fullPath, look)) {
        return *std::move(seen);
    }
    const std::int64_t listedAt = platform::NowNs();
    const std::optional<EntryStamp> stamp = platform::StampOf(fullPath);
    if (!stamp || !stamp->folder) {
        return nothingFound;
    }
    if (std::optional<QStringList> cached = cache().find(fullPath, *stamp, look)) {
        return *std::move(cached);
    }
    Result<QStringList> files = platform::FilesOf(fullPath);
    if (!files) {
        return files;
    }
    QStringList names = std::move(files).value();
    if (names.isEmpty()) {
        return nothingFound;
    }
    sortAsWindows(names);
    // A folder changed just before its listing could change again without a new stamp; such a
    // listing is used once, not kept.
    if (platform::IsSettled(*stamp, listedAt)) {
        cache().store({fullPath, *stamp, names, look});
    }
    return names;
}

} // namespace vt::files
