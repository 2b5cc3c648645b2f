#pragma once

#include "files/Outcome.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>

// What the system needs from the host's file system: existence of folders, the files that lie
// directly in a folder, creating one folder, moving a file into a folder, and writing a file
// whole. The process remembers two things across calls: the folders it has cleaned of
// leftovers, and the folders written into since they were last made durable.
namespace vt::platform {

bool FolderExists(const QString& path);

// Every hidden file the program keeps in a folder of its own has a name that begins so.
inline const QString OwnFilePrefix = QStringLiteral(".vellumtide-");

// What identifies the state of a file or folder: its identity, size and change times. Any file
// added, removed or renamed in a folder changes the folder's times; any write to a file changes
// the file's. A stamp is trusted only once it is older than a time stamp's granularity.
struct EntryStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool folder = false;

    friend bool operator==(const EntryStamp& a, const EntryStamp& b) {
        return a.device == b.device && a.inode == b.inode && a.size == b.size &&
               a.modifiedNs == b.modifiedNs && a.changedNs == b.changedNs && a.folder == b.folder;
    }
};

// Opens an existing file for reading without ever waiting on it: only a regular file (or a link
// to one) is opened; a FIFO, device, socket or folder is refused at once, with the reason.
// The caller owns the descriptor.
Result<int> OpenRegularFile(const QString& path);
// The bytes of a regular file, opened as OpenRegularFile does and read in one go; a file larger
// than maxBytes is refused unread. When asked, the stamp of the file as opened, taken before its
// first byte is read, so a change made during the read gives the file another stamp.
Result<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes, EntryStamp* openedStamp = nullptr);
// Whether the path itself is a symbolic link (to anything, or to nothing). Nothing is ever
// written through one: a link planted in a chosen folder could send a file anywhere.
bool IsLink(const QString& path);

// The bare names of the files directly in an existing folder (hidden ones included, subfolders
// never), in the order the host yields them. The program's own hidden files (the fetch state, a
// file being written) are never among them: they are no PAD texts, pages or records. Fails when
// the folder cannot be read.
Result<QStringList> FilesOf(const QString& folder);
Result<int> FileCount(const QString& folder);

// Creates exactly one folder: fails when it exists, when its parent is missing, or when the
// name is one the system refuses.
Status CreateFolder(const QString& path);

// The name of the one hidden file of ours that stays in a folder: what a re-run with conditional
// fetches knows of the pages and texts it made. Every other file of ours is a file being written.
inline const QString FetchStateFileName = QStringLiteral(".vellumtide-fetch");

// What a write did to the file: wrote new bytes, or found exactly these bytes there already.
enum class FileWrite { Written, Unchanged };

// Creates or replaces the file with exactly these bytes, every write checked. A file that
// already holds exactly these bytes is left as it is (its times stay), read once to know it.
// Otherwise the bytes go to a new temporary file of ours beside the target (".vellumtide-tmp-"
// and the process id), which is flushed to the disk and then moved into place: over the old
// file, which it replaces whole keeping its permissions, or to a new name only while that is
// still free. So neither a failure (a full disk), a killed run nor a power cut ever leaves a part
// of a file under its name. The temporary files of runs that ended without finishing are removed
// the first time a run writes into their folder; those of live runs stay. A path that is a
// symbolic link is refused; nothing is ever written through one.
Result<FileWrite> ReplaceFile(const QString& path, QByteArrayView bytes);

// Makes the names of every file written or moved since the last call durable, one flush per
// folder: what a run calls once its writes are done, before it records what it wrote.
Status SyncWrittenFolders();

// Removes a regular file; a file that is not there is no failure, and anything else at the path
// (a link, a folder) is refused and stays.
Status RemoveFile(const QString& path);

// Moves a file into a folder under its own name; fails when that name is taken there, or the
// folder is a symbolic link. Never overwrites.
Status MoveFile(const QString& sourceFile, const QString& destinationFolder);

// The stamp of an existing file or folder, or nothing when the path names neither.
std::optional<EntryStamp> StampOf(const QString& path);

// The clock the stamps are compared with, in nanoseconds.
std::int64_t NowNs();

// Whether a stamp read at a time can be kept: a change made after that time will give the
// entry other times. A volume whose times hold fractions of a second stamps them to within a few
// milliseconds; one that keeps only whole seconds may be as coarse as 2 seconds (FAT), which a
// stamp of whole seconds is taken to be.
bool IsSettled(const EntryStamp& stamp, std::int64_t readAtNs);

} // namespace vt::platform
