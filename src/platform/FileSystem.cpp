#include "platform/FileSystem.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <signal.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/SafePath.h"
#include "platform/FolderEntries.h"

namespace vt::platform {
namespace {

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isFolder(const QByteArray& nativePath) {
    struct stat info {};
    return ::stat(nativePath.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

const QByteArray OursPrefix = QFile::encodeName(OwnFilePrefix);
// A file being written: ".vellumtide-tmp-<process id>-<random>". Only names of exactly this shape
// are ever removed as leftovers; the fetch state and any other name stay.
const QByteArray TemporaryPrefix = OursPrefix + "tmp-";
// No write keeps its file under the temporary name anywhere near this long: past it, a file is a
// leftover even where its process number was given to another process since.
constexpr std::int64_t AbandonedAfterNs = std::int64_t(24) * 3600 * 1000000000;

// The process that writes a temporary file of ours, or nothing when the name is not exactly one.
std::optional<pid_t> writerOf(const QByteArray& name) {
    if (!name.startsWith(TemporaryPrefix)) {
        return std::nullopt;
    }
    const QByteArray rest = name.mid(TemporaryPrefix.size());
    const qsizetype dash = rest.indexOf('-');
    const QByteArray pid = rest.left(dash);
    const QByteArray random = rest.mid(dash + 1);
    const auto digits = [](const QByteArray& part, bool letters) {
        return !part.isEmpty() && std::all_of(part.cbegin(), part.cend(), [letters](char c) {
            return (c >= '0' && c <= '9') || (letters && c >= 'a' && c <= 'z');
        });
    };
    bool number = false;
    const pid_t writer = pid_t(pid.toInt(&number));
    if (dash <= 0 || !digits(pid, false) || pid.startsWith('0') || !digits(random, true) || !number) {
        return std::nullopt;
    }
    return writer;
}

bool isRunning(pid_t process) {
    return process == ::getpid() || ::kill(process, 0) == 0 || errno != ESRCH;
}

// Removes the temporary files that killed runs left in a folder, once per folder and process,
// before this process first writes there: those whose process has ended, and those abandoned
// for a day. A file that another live run is writing stays.
void removeLeftovers(const QString& folder) {
    static std::mutex mutex;
    static std::set<QString> cleaned;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!cleaned.insert(folder).second) {
            return;
        }
    }
    const QString listed = folder.isEmpty() ? QStringLiteral(".") : folder;
    const Result<std::vector<FolderEntry>> entries = EntriesOf(listed, FileTimes::Read, FolderLink::Followed);
    if (!entries) {
        return;
    }
    const std::int64_t now = NowNs();
    for (const FolderEntry& entry : entries.value()) {
        const QByteArray name = QFile::encodeName(entry.name);
        const std::optional<pid_t> writer = writerOf(name);
        if (entry.kind == EntryKind::RegularFile && writer &&
            (!isRunning(*writer) || entry.modifiedNs < now - AbandonedAfterNs)) {
            ::unlink(QFile::encodeName(files::displayPath(listed, entry.name)).constData());
        }
    }
}

// The folders written into since they were last made durable, by their paths as written.
std::mutex writtenMutex;
std::set<QByteArray> writtenFolders;

void noteWrittenFolder(const QByteArray& folder) {
    const std::lock_guard<std::mutex> lock(writtenMutex);
    writtenFolders.insert(folder.isEmpty() ? QByteArray(".") : folder);
}

// RENAME_NOREPLACE makes "the name is taken" and the move one atomic step. Where the file system
// lacks the flag (it answers EINVAL, ENOSYS or EOPNOTSUPP), a hard link fails on a taken name just
// the same; the source then goes. 0, or the errno of the failure.
int renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return errno;
    }
    if (::link(from.constData(), to.constData()) != 0) {
        return errno;
    }
    return ::unlink(from.constData()) == 0 ? 0 : errno;
}

// Opens a new file beside the target under a short temporary name of ours, so that even a page
// name as long as the file system allows leaves room for it.
int openBeside(const QByteArray& folder, QByteArray& temporary) {
    // Made once: the process keeps its number while it runs.
    static const QByteArray ownName = TemporaryPrefix + QByteArray::number(::getpid()) + '-';
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = folder + ownName + QByteArray::number(QRandomGenerator::global()->generate(), 36);
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

// Writes the bytes to a new temporary file beside the target, makes them durable, and moves the
// file into place: over the old file (mode given), which it replaces whole keeping its
// permissions, or to a new name only while that is still free.
Result<FileWrite> writeBeside(const QString& path, QByteArrayView bytes, std::optional<mode_t> oldMode) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray folder = target.left(target.lastIndexOf('/') + 1);
    QByteArray temporary;
    const int fd = openBeside(folder, temporary);
    if (fd < 0) {
        return Status::failure(QStringLiteral("Could not create \"%1\": %2").arg(path, reason(errno)));
    }
    if (oldMode) {
        static_cast<void>(::fchmod(fd, *oldMode));
    }
    bool whole = writeAll(fd, bytes);
    // On disk before the name points at it: after a power cut the name holds the old bytes or
    // the new ones, never an empty or cut file.
    whole = whole && ::fdatasync(fd) == 0;
    int error = whole ? 0 : errno;
    if (::close(fd) != 0 && whole) {
        whole = false;
        error = errno;
    }
    if (whole) {
        // A name that was free must still be: a link or file planted meanwhile is never replaced.
        error = oldMode ? (::rename(temporary.constData(), target.constData()) == 0 ? 0 : errno)
                        : renameNoReplace(temporary, target);
        whole = error == 0;
    }
    if (!whole) {
        ::unlink(temporary.constData());
        return Status::failure(QStringLiteral("Could not write \"%1\": %2").arg(path, reason(error)));
    }
    noteWrittenFolder(folder.left(folder.size() - 1));
    return FileWrite::Written;
}

} // namespace

bool FolderExists(const QString& path) {
    return !path.isEmpty() && isFolder(QFile::encodeName(path));
}

namespace {

EntryStamp stampOf(const struct stat& info) {
    return EntryStamp{std::uint64_t(info.st_dev),
                      std::uint64_t(info.st_ino),
                      std::int64_t(info.st_size),
                      std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                      std::int64_t(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec,
                      S_ISDIR(info.st_mode)};
}

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

Result<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes, EntryStamp* openedStamp) {
    struct stat info {};
    const Result<int> opened = openRegular(path, info);
    if (!opened) {
        return opened.status();
    }
    if (openedStamp) {
        *openedStamp = stampOf(info);
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
    const Result<std::vector<FolderEntry>> entries =
        EntriesOf(folder, FileTimes::Skipped, FolderLink::Followed);
    if (!entries) {
        return entries.status();
    }
    QStringList names;
    names.reserve(qsizetype(entries.value().size()));
    for (const FolderEntry& entry : entries.value()) {
        // An entry counts as a file unless it is a folder or a link to one, whatever its attributes.
        const bool file = entry.kind == EntryKind::Link
                              ? !isFolder(QFile::encodeName(files::displayPath(folder, entry.name)))
                              : entry.kind != EntryKind::Folder;
        if (file && !entry.name.startsWith(OwnFilePrefix)) {
            names += entry.name;
        }
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
    removeLeftovers(path.left(path.lastIndexOf(u'/')));
    return writeBeside(path, bytes, existed ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt);
}

Status SyncWrittenFolders() {
    std::set<QByteArray> folders;
    {
        const std::lock_guard<std::mutex> lock(writtenMutex);
        folders.swap(writtenFolders);
    }
    QStringList failed;
    for (const QByteArray& folder : folders) {
        // A folder removed since holds nothing to keep.
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if ((fd < 0 && errno != ENOENT) || (fd >= 0 && ::fsync(fd) != 0)) {
            failed += QStringLiteral("\"%1\": %2").arg(QFile::decodeName(folder), reason(errno));
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (!failed.isEmpty()) {
        return Status::failure(QStringLiteral("Could not make the files written into %1 safe against a power "
                                              "cut")
                                   .arg(failed.join(QStringLiteral(", "))));
    }
    return Status::success();
}

Status RemoveFile(const QString& path) {
    const QByteArray target = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(target.constData(), &info) != 0) {
        return errno == ENOENT
                   ? Status::success()
                   : Status::failure(QStringLiteral("Could not remove \"%1\": %2").arg(path, reason(errno)));
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
    int error = renameNoReplace(from, to);
    if (error == EXDEV) {
        // Another volume: copy (which never overwrites), then remove the original.
        if (!QFile::copy(sourceFile, *destination)) {
            return Status::failure(
                QStringLiteral("Could not move \"%1\" to \"%2\"").arg(sourceFile, *destination));
        }
        error = QFile::remove(sourceFile) ? 0 : errno;
    }
    if (error != 0) {
        return Status::failure(QStringLiteral("Could not move \"%1\" to \"%2\": %3")
                                   .arg(sourceFile, *destination, reason(error)));
    }
    noteWrittenFolder(from.left(from.lastIndexOf('/')));
    noteWrittenFolder(QFile::encodeName(destinationFolder));
    return Status::success();
}

std::optional<EntryStamp> StampOf(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return stampOf(info);
}

std::int64_t NowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

bool IsSettled(const EntryStamp& stamp, std::int64_t readAtNs) {
    constexpr std::int64_t Second = 1'000'000'000;
    // Whole seconds: FAT's 2 s. Fractions: the system stamps with a clock that lags this one by
    // up to a tick (10 ms at the coarsest), and exFAT cuts that down to its 10 ms steps, so a
    // change made after a read is stamped at most 20 ms before it; 30 ms leaves a margin.
    constexpr std::int64_t CoarseGranularityNs = 2 * Second;
    constexpr std::int64_t FineGranularityNs = 30'000'000;
    const bool fine = stamp.modifiedNs % Second != 0 || stamp.changedNs % Second != 0;
    return std::max(stamp.modifiedNs, stamp.changedNs) + (fine ? FineGranularityNs : CoarseGranularityNs) <
           readAtNs;
}

} // namespace vt::platform
