#pragma once

#include "files/Outcome.h"
#include "files/TextFile.h"
#include "platform/FileSystem.h"

#include <QString>
#include <QStringView>

#include <optional>

// Writes pages and PAD text files into the storage folder, in Windows-1252 with a final CR LF.
// A name the system refuses (see files/SafePath.h) writes nothing: no file ever lands outside
// the storage folder.
namespace vt::pagegen {

// The path of a page, storage folder / [category /] program name + ".html", or why it has none.
// A category may be nested ("Home/Hobby"), and an empty one is the storage folder itself; an
// empty program name gives no page.
Result<QString> PagePath(const QString& storageFolder, QStringView programName,
                         const std::optional<QString>& category);

// The page's path, with each category level below the storage folder checked to be a folder of
// its own, not a symbolic link. The category's folder must already exist.
Result<QString> CheckedPagePath(const QString& storageFolder, QStringView programName,
                                const std::optional<QString>& category);

// Writes the page at its checked path.
Result<platform::FileWrite> WritePage(const QString& storageFolder, QStringView programName,
                                      const std::optional<QString>& category, QStringView page,
                                      files::Encoding encoding = files::Encoding::Windows1252);

// storage folder / record number + ".txt".
Result<platform::FileWrite> WritePadText(const QString& storageFolder, QStringView recordNumber,
                                         QStringView padText);

// storage folder / program name + ".txt": an article, named as its page would be.
Result<platform::FileWrite> WriteArticle(const QString& storageFolder, QStringView programName,
                                         QStringView article);

} // namespace vt::pagegen
