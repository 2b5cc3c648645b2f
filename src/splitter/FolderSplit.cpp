#include "splitter/FolderSplit.h"

#include <cmath>

#include "files/AllFiles.h"
#include "files/SafePath.h"
#include "platform/ControlNumbers.h"
#include "platform/FileSystem.h"

namespace vt::splitter {

std::optional<int> FolderEstimate(QStringView fileCount, QStringView filesPerFolder) {
    const std::optional<std::int32_t> count = platform::toInt32(fileCount);
    const std::optional<std::int32_t> perFolder = platform::toInt32(filesPerFolder);
    if (!count || !perFolder || *count < 0 || *perFolder <= 0) {
        return std::nullopt;
    }
    // nearbyint rounds in the default mode: to nearest, halves to even (2.5 gives 2, 3.5 gives 4).
    return int(std::nearbyint(double(*count) / double(*perFolder))) + 1;
}

SplitResult SplitFolder(const QString& masterFolder, int estimate, int filesPerFolder, int fileCount,
                        const std::function<bool(int index)>& afterEachFile) {
    SplitResult result;
    if (fileCount <= 0 || filesPerFolder <= 0) {
        return result;
    }
    for (int k = 0; k <= estimate; ++k) {
        const QString subfolder = files::displayPath(masterFolder, QString::number(k));
        // A subfolder that is a link is not used: the move into it is refused below.
        if (!platform::FolderExists(subfolder) && !platform::IsLink(subfolder)) {
            // A subfolder that cannot be made shows up below as files that were not moved.
            static_cast<void>(platform::CreateFolder(subfolder));
        }
    }
    // Listed after the subfolders exist; the listing holds files only, so they are not in it.
    const Result<QStringList> listing = files::AllFiles(masterFolder);
    const QStringList names = listing.ok() ? listing.value() : QStringList();
    int subfolder = 0;
    int inSubfolder = 0;
    for (int i = 0; i < fileCount; ++i) {
        const QString name = names.value(i);
        const Status moved =
            name.isEmpty()
                ? Status::failure(QStringLiteral("File %1 of \"%2\" is gone").arg(i).arg(masterFolder))
                : platform::MoveFile(files::displayPath(masterFolder, name),
                                     files::displayPath(masterFolder, QString::number(subfolder)));
        if (moved) {
            ++result.moved;
        } else {
            ++result.notMoved;
            result.reasons += moved.message();
        }
        if (inSubfolder == filesPerFolder - 1) {
            ++subfolder;
            inSubfolder = 0;
        } else {
            ++inSubfolder;
        }
        if (!afterEachFile(i)) {
            break;
        }
    }
    return result;
}

} // namespace vt::splitter
