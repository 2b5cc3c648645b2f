#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The pages to index, found without following a link: those a category run filed below the
// Category folder, or those a page run wrote straight into its storage folder.
namespace vt::site {

// Where the pages stand: in folders by category below <folder>/Category, or in the folder itself.
enum class Layout { Categories, Flat };

// Every folder index is written under this name, which no program page of its folder then has.
inline const QString IndexFileName = QStringLiteral("index.html");

struct PageFile {
    QString programName; // the file's name without ".html"
    std::int64_t modifiedNs = 0;
};

struct CategoryFolder {
    QStringList levels; // below the Category folder ("Home", "Hobby"); none for the folder listed
    QString path;
    std::vector<PageFile> pages; // by name, case-insensitively, exact code units breaking ties
};

struct PageTree {
    std::vector<CategoryFolder> folders; // those holding pages, by their levels in the same order
    QStringList leftOut;                 // the links met, each named: nothing is read through one
};

// A page is a regular file named <accepted name>.html, not hidden and not the index page itself,
// in the top folder or, in the category layout, in a real folder below it whose name is accepted
// and not hidden, at any depth. A link is named where a page or a folder to list could stand.
// Fails when the top folder cannot be read or is a symbolic link.
Result<PageTree> ListPages(const QString& topFolder, Layout layout);

// Case-insensitively, exact code units breaking ties: the order of program and category names.
bool NameBefore(const QString& a, const QString& b);

} // namespace vt::site
