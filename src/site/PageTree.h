#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The pages a category run made below the Category folder, found without following a link.
namespace vt::site {

// Every folder index is written under this name, which no program page of its folder then has.
inline const QString IndexFileName = QStringLiteral("index.html");

struct PageFile {
    QString programName; // the file's name without ".html"
    std::int64_t modifiedNs = 0;
};

struct CategoryFolder {
    QStringList levels; // below the Category folder ("Home", "Hobby"); none for the Category folder
    QString path;
    std::vector<PageFile> pages; // by name, case-insensitively, exact code units breaking ties
};

struct PageTree {
    std::vector<CategoryFolder> folders; // those holding pages, by their levels in the same order
    QStringList leftOut;                 // the links met, each named: nothing is read through one
};

// A page is a regular file named <accepted name>.html, not hidden and not the index page itself,
// in a real folder whose name is accepted and not hidden, at any depth. Fails when the Category
// folder cannot be read or is a symbolic link.
Result<PageTree> ListPages(const QString& categoryFolder);

// Case-insensitively, exact code units breaking ties: the order of program and category names.
bool NameBefore(const QString& a, const QString& b);

} // namespace vt::site
