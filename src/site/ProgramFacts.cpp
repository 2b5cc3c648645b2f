#include "site/ProgramFacts.h"

#include <algorithm>
#include <optional>
#include <thread>
#include <vector>

#include "files/SafePath.h"
#include "files/TextFile.h"
#include "pagegen/PageWriter.h"
#include "pagegen/TemplateFill.h"
#include "platform/FolderEntries.h"
#include "site/PageTree.h"

namespace vt::site {
namespace {

using namespace Qt::StringLiterals;
using platform::EntryKind;

// Past a few threads the disk, not the reading, sets the pace.
constexpr unsigned MaxReaders = 4;

bool isNumber(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The field table's row that fills the placeholder.
const pagegen::FieldRow& rowOf(const QString& placeholder) {
    const std::vector<pagegen::FieldRow>& table = pagegen::PadFieldTable();
    return *std::find_if(table.begin(), table.end(),
                         [&](const pagegen::FieldRow& row) { return row.placeholder == placeholder; });
}

// The page's name and folder as the field table reads them (rows 1 and 17), its version, and the
// short description its page shows under its name. The page template shows no version, so the
// table has no row for it; it is read by the same tag rule.
// The IndexElements follow, by the same rule.
const std::vector<pagegen::FieldRow>& factRows() {
    static const std::vector<pagegen::FieldRow> rows = [] {
        std::vector<pagegen::FieldRow> table = {
            pagegen::PadFieldTable().front(),
            pagegen::PadFieldTable().back(),
            {u"<Program_Version>"_s, u"</Program_Version>"_s, QString()},
            rowOf(u"DescriptionXXX"_s),
        };
        for (const QString& name : IndexElements) {
            table.push_back({u'<' + name + u'>', u"</"_s + name + u'>', QString()});
        }
        return table;
    }();
    return rows;
}

// The numbered text files of a folder, in the order a batch reads the folder.
QStringList numberedTexts(const std::vector<platform::FolderEntry>& entries) {
    QStringList names;
    for (const platform::FolderEntry& entry : entries) {
        if (entry.kind == EntryKind::RegularFile && entry.name.endsWith(u".txt"_s) &&
            isNumber(QStringView(entry.name).chopped(4))) {
            names += entry.name;
        }
    }
    std::sort(names.begin(), names.end(), NameBefore);
    return names;
}

// The split's subfolders 0, 1, ... in number order.
QStringList numberedFolders(const std::vector<platform::FolderEntry>& entries) {
    QStringList names;
    for (const platform::FolderEntry& entry : entries) {
        if (entry.kind == EntryKind::Folder && isNumber(entry.name)) {
            names += entry.name;
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

struct Read {
    QString page; // "" when the text names no page or could not be read
    ProgramFacts facts;
};

Read readText(const QString& path, const QString& pageFolder, Layout layout) {
    const Result<QString> text = files::readTextFile(path);
    if (!text) {
        return {};
    }
    const QStringList values = pagegen::ValuesBetween(text.value(), factRows());
    const Result<QString> page = pagegen::PagePath(
        pageFolder, values[0], layout == Layout::Categories ? std::optional(values[1]) : std::nullopt);
    if (!page) {
        return {};
    }
    Read read{page.value(), {values[2], values[3], {}}};
    for (qsizetype i = 0; i < IndexElements.size(); ++i) {
        read.facts.elements.insert(IndexElements[i], values[4 + i]);
    }
    return read;
}

// Reading a text is mostly waiting on the system, so the texts are read a share per thread.
std::vector<Read> readTexts(const QStringList& paths, const QString& pageFolder, Layout layout) {
    std::vector<Read> read(std::size_t(paths.size()));
    const auto threads = qsizetype(std::clamp(std::thread::hardware_concurrency(), 1U, MaxReaders));
    const qsizetype share = (paths.size() + threads - 1) / threads;
    std::vector<std::thread> readers;
    for (qsizetype from = 0; from < paths.size(); from += share) {
        readers.emplace_back([&, from] {
            for (qsizetype i = from; i < std::min(paths.size(), from + share); ++i) {
                read[std::size_t(i)] = readText(paths[i], pageFolder, layout);
            }
        });
    }
    for (std::thread& reader : readers) {
        reader.join();
    }
    return read;
}

} // namespace

QHash<QString, ProgramFacts> ReadProgramFacts(const QString& padTextFolder, const QString& pageFolder,
                                              Layout layout) {
    const Result<std::vector<platform::FolderEntry>> entries =
        platform::EntriesOf(padTextFolder, platform::FileTimes::Skipped);
    if (!entries) {
        return {};
    }
    QStringList paths;
    const auto addTexts = [&](const QString& folder, const std::vector<platform::FolderEntry>& listed) {
        for (const QString& name : numberedTexts(listed)) {
            paths += files::displayPath(folder, name);
        }
    };
    addTexts(padTextFolder, entries.value());
    for (const QString& subfolderName :
         layout == Layout::Categories ? numberedFolders(entries.value()) : QStringList()) {
        const QString subfolder = files::displayPath(padTextFolder, subfolderName);
        if (const auto subentries = platform::EntriesOf(subfolder, platform::FileTimes::Skipped)) {
            addTexts(subfolder, subentries.value());
        }
    }
    QHash<QString, ProgramFacts> facts;
    for (Read& read : readTexts(paths, pageFolder, layout)) {
        if (!read.page.isEmpty()) {
            facts.insert(std::move(read.page), std::move(read.facts));
        }
    }
    return facts;
}

} // namespace vt::site
