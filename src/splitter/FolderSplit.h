#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

// Splitting a large folder into numbered subfolders of a fixed number of files each.
namespace vt::splitter {

// The highest subfolder number a split creates: count / per folder, rounded to the nearest whole
// number (halves to even), plus 1. Nothing when either text is not a whole number, the count is
// negative or the number per folder is not positive.
std::optional<int> FolderEstimate(QStringView fileCount, QStringView filesPerFolder);

struct SplitResult {
    int moved = 0;
    // Left in the master folder: the name was taken in its subfolder, or it could not be moved.
    int notMoved = 0;
    QStringList reasons; // why, one per file not moved
};

// Creates the subfolders "0" to the estimate inside the master folder (one that exists already is
// used as it is), then moves the first fileCount files of the master folder's listing, in order,
// filesPerFolder to a subfolder, each keeping its name and never replacing another file.
// afterEachFile(index) runs after every file; returning false stops the split there.
SplitResult SplitFolder(const QString& masterFolder, int estimate, int filesPerFolder, int fileCount,
                        const std::function<bool(int index)>& afterEachFile);

} // namespace vt::splitter
