#include "platform/FolderEntries.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace vt::platform {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

Status unreadable(const QString& folder, int error) {
    return Status::failure(QStringLiteral("Could not read the folder \"%1\": %2")
                               .arg(folder, QString::fromLocal8Bit(std::strerror(error))));
}

// The kind the folder's listing gives, where the file system gives one.
std::optional<EntryKind> listedKind(unsigned char type) {
    switch (type) {
    case DT_UNKNOWN:
        return std::nullopt;
    case DT_LNK:
        return EntryKind::Link;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_REG:
        return EntryKind::RegularFile;
    default:
        return EntryKind::Other;
    }
}

EntryKind kindOf(mode_t mode) {
    return S_ISLNK(mode)   ? EntryKind::Link
           : S_ISDIR(mode) ? EntryKind::Folder
           : S_ISREG(mode) ? EntryKind::RegularFile
                           : EntryKind::Other;
}

} // namespace

Result<std::vector<FolderEntry>> EntriesOf(const QString& folder, FileTimes times, FolderLink link) {
    // O_NOFOLLOW: a folder swapped for a link after its parent was listed is not read through.
    const int fd =
        ::open(QFile::encodeName(folder).constData(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC | (link == FolderLink::Refused ? O_NOFOLLOW : 0));
    if (fd < 0) {
        return errno == ELOOP
                   ? Status::failure(QStringLiteral("The folder \"%1\" is a symbolic link").arg(folder))
                   : unreadable(folder, errno);
    }
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        const int error = errno;
        ::close(fd);
        return unreadable(folder, error);
    }
    std::vector<FolderEntry> entries;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            const std::optional<EntryKind> listed = listedKind(entry->d_type);
            FolderEntry found{QFile::decodeName(entry->d_name), listed.value_or(EntryKind::Other), 0};
            struct stat info {};
            const bool looked = (!listed || (listed == EntryKind::RegularFile && times == FileTimes::Read)) &&
                                ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0;
            if (looked) {
                found.kind = kindOf(info.st_mode);
                found.modifiedNs = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
            }
            // An entry of unknown kind that is gone since it was listed is passed over.
            if (listed || looked) {
                entries.push_back(std::move(found));
            }
        }
        errno = 0;
    }
    if (errno != 0) {
        return unreadable(folder, errno);
    }
    return entries;
}

} // namespace vt::platform
