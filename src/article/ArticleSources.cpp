#include "article/ArticleSources.h"

#include "files/AllFiles.h"
#include "files/SafePath.h"
#include "files/TextFile.h"

namespace vt::article {

Result<SourcesLoaded> LoadArticleSources(const QString& folder, const std::function<void(QString)>& take) {
    const Result<QStringList> names = files::AllFiles(folder);
    if (!names) {
        return names.status();
    }
    SourcesLoaded loaded;
    for (const QString& name : names.value()) {
        // AllFiles lists a folder without files as one empty name: there is nothing to read.
        if (name.isEmpty()) {
            continue;
        }
        Result<QString> text = files::readTextFile(files::displayPath(folder, name));
        if (!text) {
            ++loaded.unreadable;
            continue;
        }
        take(std::move(text).value());
        ++loaded.read;
    }
    return loaded;
}

} // namespace vt::article
