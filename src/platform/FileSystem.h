#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// What the system needs from the host's file system: existence of folders, the files that lie
// directly in a folder, creating one folder and moving a file into a folder. Stateless.
namespace vt::platform {

bool FolderExists(const QString& path);

// The bare names of the files directly in an existing folder (hidden ones included, subfolders
// never), in the order the host yields them. Fails when the folder cannot be read.
Result<QStringList> FilesOf(const QString& folder);
Result<int> FileCount(const QString& folder);

// Creates exactly one folder: fails when it exists, when its parent is missing, or when the
// name is one the system refuses.
Status CreateFolder(const QString& path);

// Moves a file into a folder under its own name; fails when that name is taken there.
// Never overwrites.
Status MoveFile(const QString& sourceFile, const QString& destinationFolder);

// What identifies the state of a folder's entry list: any file added, removed or renamed in it
// changes its change times, and a folder replaced by another has another identity.
struct FolderStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    friend bool operator==(const FolderStamp& a, const FolderStamp& b) {
        return a.device == b.device && a.inode == b.inode && a.modifiedNs == b.modifiedNs &&
               a.changedNs == b.changedNs;
    }
};

// The stamp of an existing folder, or nothing when the path is no folder.
std::optional<FolderStamp> StampOf(const QString& folder);

} // namespace vt::platform
