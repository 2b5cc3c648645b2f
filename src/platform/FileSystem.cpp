#include "platform/FileSystem.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/SafePath.h"

namespace vt::platform {
namespace {

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isFolder(const QByteArray& nativePath) {
    struct stat info {};
    return ::stat(nativePath.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An entry counts as a file unless it is a folder or a link to one, whatever its attributes.
bool isFileEntry(const QByteArray& folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return false;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return true;
    }
    return !isFolder(folder + '/' + entry.d_name);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

const QByteArray OursPrefix = QFile::encodeName(OwnFilePrefix);

// Removes the hidden files that a killed run left in a folder, once per folder and process,
// before this process first writes there. Only files last changed before that first write are
// taken, so the ones another run is writing at the same moment stay.
void removeLeftovers(const QByteArray& folder) {
    static std::mutex mutex;
    static std::set<QByteArray> cleaned;
    static const std::int64_t firstWriteNs = NowNs();
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!cleaned.insert(folder).second) {
            return;
        }
    }
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.isEmpty() ? "." : folder.constData()));
    if (!dir) {
        return;
    }
    const QByteArray kept = QFile::encodeName(FetchStateFileName);
    while (const dirent* entry = ::readdir(dir.get())) {
        struct stat info {};
        if (std::strncmp(entry->d_name, OursPrefix.constData(), std::size_t(OursPrefix.size())) == 0 &&
            kept != entry->d_name &&
            ::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) &&
            std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec < firstWriteNs) {
            ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
        }
    }
}

// Opens a new file beside the target under a short hidden name of its own, so that even a page
// name as long as the file system allows leaves room for it.
int openBeside(const QByteArray& folder, QByteArray& temporary) {
    const QByteArray kept = QFile::encodeName(FetchStateFileName);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray name = OursPrefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        if (name == kept) {
            continue;
        }
        temporary = folder + name;
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Whether the regular file at the path holds exactly these bytes (its size is known to match):
// read once, in pieces, and compared as it comes.
bool holdsExactly(const QByteArray& path, QByteArrayView bytes) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    constexpr qsizetype Piece = qsizetype(256) * 1024;
    thread_local std::vector<char> buffer(Piece);
    qsizetype compared = 0;
    bool same = true;
    while (same) {
        const ssize_t got = ::read(fd, buffer.data(), std::size_t(Piece));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            same = got == 0 && compared == bytes.size();
            break;
        }
        same = compared + got <= bytes.size() &&
               std::memcmp(buffer.data(), bytes.data() + compared, std::size_t(got)) == 0;
        compared += got;
    }
    ::close(fd);
    return same;
}

// Writes every byte, going on after a partial write; false with errno set on the first failure.
bool writeAll(int fd, QByteArrayView bytes) {
    const char* next = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, std::size_t(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? ENOSPC : errno;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

} // namespace

bool FolderExists(const QString& path) {
    return !path.isEmpty() && isFolder(QFile::encodeName(path));
}

namespace {

// OpenRegularFile, leaving what the opened file's stat says in `info`.
Result<int> openRegular(const QString& path, struct stat& info) {
    const QByteArray native = QFile::encodeName(path);
    // Looked at before the open, as opening some devices already does something; checked again
    // on what was opened, in case the name changed meanwhile.
    const bool regular = ::stat(native.constData(), &info) == 0 && S_ISREG(info.st_mode);
    const int fd = regular ? ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1;
    if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        return fd;
    }
    const int error = errno;
    if (fd >= 0) {
        ::close(fd);
    }
    if (regular || info.st_mode == 0) {
        return Status::failure(QStringLiteral("Could not open \"%1\": %2").arg(path, reason(error)));
    }
    return Status::failure(S_ISDIR(info.st_mode)
                               ? QStringLiteral("Could not open \"%1\": it is a folder").arg(path)
                               : QStringLiteral("Could not open \"%1\": it is not a regular file (a FIFO, "
                                                "device or socket)")
                                     .arg(path));
}

} // namespace

Result<int> OpenRegularFile(const QString& path) {
    struct stat info {};
    return openRegular(path, info);
}

Result<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes) {
    struct stat info {};
    const Result<int> opened = openRegular(path, info);
    if (!opened) {
        return opened.status();
    }
    const int fd = opened.value();
    if (info.st_size > maxBytes) {
        ::close(fd);
        return Status::failure(QStringLiteral("Could not read \"%1\": it is larger than %2 MiB")
                                   .arg(path)
                                   .arg(maxBytes / (1024 * 1024)));
    }
    // The size it had when opened: a file that grows meanwhile is read as it was.
    QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
    qsizetype read = 0;
    while (read < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + read, std::size_t(bytes.size() - read));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            return Status::failure(QStringLiteral("Could not read \"%1\": %2").arg(path, reason(error)));
        }
        if (got == 0) {
            break;
        }
        read += got;
    }
    ::close(fd);
    bytes.truncate(read);
    return bytes;
}

bool IsLink(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISLNK(info.st_mode);
}

Result<QStringList> FilesOf(const QString& folder) {
    const QByteArray nativeFolder = QFile::encodeName(folder);
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(nativeFolder.constData()));
    if (!dir) {
        return Status::failure(
            QStringLiteral("Could not read the folder \"%1\": %2").arg(folder, reason(errno)));
    }
    QStringList names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const bool dotEntry = std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0;
        const bool ours =
            std::strncmp(entry->d_name, OursPrefix.constData(), std::size_t(OursPrefix.size())) == 0;
        if (!dotEntry && !ours && isFileEntry(nativeFolder, *entry)) {
            names += QFile::decodeName(entry->d_name);
        }
        errno = 0;
    }
    if (errno != 0) {
        return Status::failure(
            QStringLiteral("Could not read the folder \"%1\": %2").arg(folder, reason(errno)));
    }
    return names;
}

Result<int> FileCount(const QString& folder) {
    Result<QStringList> files = FilesOf(folder);
    if (!files) {
        return files.status();
    }
    return int(files.value().size());
}

Status CreateFolder(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/')) {
        trimmed.chop(1);
    }
    const QString name = trimmed.mid(trimmed.lastIndexOf(u'/') + 1);
    if (!files::isAcceptedName(name)) {
        return Status::failure(
            QStringLiteral("Could not create the folder \"%1\": the name is not allowed").arg(path));
    }
    if (::mkdir(QFile::encodeName(trimmed).constData(), 0777) != 0) {
        return Status::failure(
            QStringLiteral("Could not create the folder \"%1\": %2").arg(path, reason(errno)));
    }
    return Status::success();
}

Result<FileWrite> ReplaceFile(const QString& path, QByteArrayView bytes) {
    const QByteArray target = QFile::encodeName(path);
    struct stat old {};
    const bool existed = ::lstat(target.constData(), &old) == 0;
    if (existed && S_ISLNK(old.st_mode)) {
        return Status::failure(QStringLiteral("Could not write \"%1\": it is a symbolic link").arg(path));
    }
    if (existed && S_ISREG(old.st_mode) && old.st_size == bytes.size() && holdsExactly(target, bytes)) {
        return FileWrite::Unchanged;
    }
    const QByteArray folder = target.left(target.lastIndexOf('/') + 1);
    removeLeftovers(folder);
    QByteArray temporary;
    const int fd = openBeside(folder, temporary);
    if (fd < 0) {
        return Status::failure(QStringLiteral("Could not create \"%1\": %2").arg(path, reason(errno)));
    }
    // A file that is replaced keeps its permissions, as an edit in place would.
    if (existed) {
        static_cast<void>(::fchmod(fd, old.st_mode & 07777));
    }
    struct stat written {};
    bool whole = writeAll(fd, bytes) && ::fstat(fd, &written) == 0;
    if (whole && written.st_size != bytes.size()) {
        whole = false;
        errno = ENOSPC;
    }
    int error = whole ? 0 : errno;
    if (::close(fd) != 0 && whole) {
        whole = false;
        error = errno;
    }
    // A name that was free must still be: a link or file planted meanwhile is never replaced.
    bool linked = false;
    if (whole && !existed &&
        ::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) != 0) {
        // A file system without RENAME_NOREPLACE: a hard link fails on a taken name just the same.
        linked = errno == EINVAL && ::link(temporary.constData(), target.constData()) == 0;
        whole = linked;
        error = errno;
    }
    if (whole && existed && ::rename(temporary.constData(), target.constData()) != 0) {
        whole = false;
        error = errno;
    }
    if (!whole || linked) {
        ::unlink(temporary.constData());
    }
    if (!whole) {
        return Status::failure(QStringLiteral("Could not write \"%1\": %2").arg(path, reason(error)));
    }
    return FileWrite::Written;
}

Status RemoveFile(const QString& path) {
    const QByteArray target = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(target.constData(), &info) != 0) {
        return Status::failure(QStringLiteral("Could not remove \"%1\": %2").arg(path, reason(errno)));
    }
    if (!S_ISREG(info.st_mode)) {
        return Status::failure(QStringLiteral("Could not remove \"%1\": it is not a regular file").arg(path));
    }
    // unlink removes the name itself: a link planted since the look above is removed, never followed.
    if (::unlink(target.constData()) != 0) {
        return Status::failure(QStringLiteral("Could not remove \"%1\": %2").arg(path, reason(errno)));
    }
    return Status::success();
}

Status MoveFile(const QString& sourceFile, const QString& destinationFolder) {
    const QString name = sourceFile.mid(sourceFile.lastIndexOf(u'/') + 1);
    const std::optional<QString> destination = files::childPath(destinationFolder, name);
    if (!destination) {
        return Status::failure(
            QStringLiteral("Could not move \"%1\": the name is not allowed").arg(sourceFile));
    }
    if (IsLink(destinationFolder)) {
        return Status::failure(QStringLiteral("Could not move \"%1\": the folder \"%2\" is a symbolic link")
                                   .arg(sourceFile, destinationFolder));
    }
    const QByteArray from = QFile::encodeName(sourceFile);
    const QByteArray to = QFile::encodeName(*destination);
    // RENAME_NOREPLACE makes "the name is taken" and the move one atomic step.
    int result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (result != 0 && errno == EINVAL) {
        // A file system without RENAME_NOREPLACE: a hard link fails on a taken name just the same.
        result = ::link(from.constData(), to.constData());
        if (result == 0) {
            result = ::unlink(from.constData());
        }
    }
    if (result != 0 && errno == EXDEV) {
        // Another volume: copy (which never overwrites), then remove the original.
        if (!QFile::copy(sourceFile, *destination)) {
            return Status::failure(
                QStringLiteral("Could not move \"%1\" to \"%2\"").arg(sourceFile, *destination));
        }
        result = QFile::remove(sourceFile) ? 0 : -1;
    }
    if (result != 0) {
        return Status::failure(QStringLiteral("Could not move \"%1\" to \"%2\": %3")
                                   .arg(sourceFile, *destination, reason(errno)));
    }
    return Status::success();
}

std::optional<EntryStamp> StampOf(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return EntryStamp{std::uint64_t(info.st_dev),
                      std::uint64_t(info.st_ino),
                      std::int64_t(info.st_size),
                      std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                      std::int64_t(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec,
                      S_ISDIR(info.st_mode)};
}

std::int64_t NowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

bool IsSettled(const EntryStamp& stamp, std::int64_t readAtNs) {
    constexpr std::int64_t StampGranularityNs = 2'000'000'000;
    return std::max(stamp.modifiedNs, stamp.changedNs) + StampGranularityNs < readAtNs;
}

} // namespace vt::platform
