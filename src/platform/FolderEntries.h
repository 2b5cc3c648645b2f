#pragma once

#include "files/Outcome.h"

#include <QString>

#include <cstdint>
#include <vector>

// The entries of one folder as they are on disk: each name with what it is and when it last
// changed, links never followed. What a walk over a tree of folders needs to stay inside it.
namespace vt::platform {

// A link is a link whatever it points to (or to nothing); Other is a FIFO, device or socket.
enum class EntryKind { RegularFile, Folder, Link, Other };

struct FolderEntry {
    QString name;
    EntryKind kind = EntryKind::Other;
    std::int64_t modifiedNs = 0; // a regular file's modification time, since the epoch
};

// Whether the modification times of regular files are read (one look-up more per file); without
// them every time is 0.
enum class FileTimes { Read, Skipped };

// Whether a folder path that is itself a symbolic link is read through (a folder the user chose)
// or refused (a folder met on a walk that must stay inside a tree).
enum class FolderLink { Refused, Followed };

// Every entry directly in the folder but "." and "..", hidden ones included, in the order the host
// yields them. Fails when the folder cannot be read, or when the path itself is a symbolic link
// that is refused.
Result<std::vector<FolderEntry>> EntriesOf(const QString& folder, FileTimes times,
                                           FolderLink link = FolderLink::Refused);

} // namespace vt::platform
