#pragma once

#include "files/Outcome.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <vector>

#include "theme/Template.h"

// Themes: a folder of Mustache templates (page.html for a program's page, index.html and feed.xml
// for the site's indexes and feed) and files copied to the top of the site as they are (style.css,
// images). Two are built in: classic, which is the template fill and no folder at all, and modern,
// whose files the program carries.
namespace vt::theme {

inline const QString ClassicThemeName = QStringLiteral("classic");
inline const QString ModernThemeName = QStringLiteral("modern");
inline const QString PageTemplateName = QStringLiteral("page.html");
inline const QString IndexTemplateName = QStringLiteral("index.html");
inline const QString FeedTemplateName = QStringLiteral("feed.xml");

// A file the theme copies to the top of the site.
struct ThemeFile {
    QString name;
    QByteArray bytes;
};

struct Theme {
    QString source;                        // "modern", or the folder as the user gave it
    std::map<QString, Template> templates; // by file name; page.html always among them
    std::vector<ThemeFile> files;          // by name
    QByteArray digest;                     // of every file's name and bytes: what its pages are made with

    const Template& page() const { return templates.at(PageTemplateName); }
};

// The built-in modern theme, or the theme folder of that path: every template read as UTF-8 and
// parsed, every other regular file at its top (not hidden, and under a name a file can have) read
// to be copied. Refused, naming the file and, where there is one, the line and the reason, when
// the theme is neither, page.html is missing, a template is not UTF-8 or is no valid Mustache, or
// a file cannot be read. Classic is no theme folder: the caller keeps the template fill.
Result<Theme> LoadTheme(const QString& nameOrFolder);

// Every file of the built-in modern theme, its templates included, by name: what a user starts a
// theme of their own from.
std::vector<ThemeFile> ModernThemeFiles();

// Writes each of the theme's files into the folder, leaving those that already hold its bytes
// untouched; never through a symbolic link. Each failure, naming its file.
QStringList CopyThemeFiles(const Theme& theme, const QString& folder);

} // namespace vt::theme
