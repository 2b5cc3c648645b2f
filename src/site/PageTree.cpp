#include "site/PageTree.h"

#include <algorithm>

#include "files/SafePath.h"
#include "platform/FolderEntries.h"

namespace vt::site {
namespace {

using namespace Qt::StringLiterals;
using platform::EntryKind;

const QString PageExtension = u".html"_s;
const QString LinkLeftOut = u"Left out \"%1\": it is a symbolic link"_s;

bool isShownName(const QString& name) {
    return files::isAcceptedName(name) && !name.startsWith(u'.');
}

bool levelsBefore(const CategoryFolder& a, const CategoryFolder& b) {
    return std::lexicographical_compare(a.levels.begin(), a.levels.end(), b.levels.begin(), b.levels.end(),
                                        NameBefore);
}

} // namespace

bool NameBefore(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

Result<PageTree> ListPages(const QString& topFolder, Layout layout) {
    const bool descends = layout == Layout::Categories;
    PageTree tree;
    std::vector<CategoryFolder> pending{{{}, topFolder, {}}};
    while (!pending.empty()) {
        CategoryFolder folder = std::move(pending.back());
        pending.pop_back();
        const Result<std::vector<platform::FolderEntry>> entries =
            platform::EntriesOf(folder.path, platform::FileTimes::Read);
        if (!entries) {
            if (folder.levels.isEmpty()) {
                return entries.status();
            }
            tree.leftOut += entries.message();
            continue;
        }
        for (const platform::FolderEntry& entry : entries.value()) {
            const QString path = files::displayPath(folder.path, entry.name);
            // A link in the index page's place is no page; writing the index refuses it.
            if (entry.kind == EntryKind::Link && entry.name != IndexFileName &&
                (descends || entry.name.endsWith(PageExtension))) {
                tree.leftOut += LinkLeftOut.arg(path);
            } else if (entry.kind == EntryKind::Folder && descends && isShownName(entry.name)) {
                pending.push_back({folder.levels + QStringList{entry.name}, path, {}});
            } else if (entry.kind == EntryKind::RegularFile && entry.name.endsWith(PageExtension) &&
                       entry.name != IndexFileName) {
                const QString programName = entry.name.chopped(PageExtension.size());
                if (isShownName(programName)) {
                    folder.pages.push_back({programName, entry.modifiedNs});
                }
            }
        }
        if (!folder.pages.empty()) {
            std::sort(folder.pages.begin(), folder.pages.end(), [](const PageFile& a, const PageFile& b) {
                return NameBefore(a.programName, b.programName);
            });
            tree.folders.push_back(std::move(folder));
        }
    }
    std::sort(tree.folders.begin(), tree.folders.end(), levelsBefore);
    tree.leftOut.sort();
    return tree;
}

} // namespace vt::site
