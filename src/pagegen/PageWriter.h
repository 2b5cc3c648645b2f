#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringView>

#include <optional>

// Writes pages and PAD text files into the storage folder, in Windows-1252 with a final CR LF.
// A name the system refuses (see files/SafePath.h) writes nothing: no file ever lands outside
// the storage folder.
namespace vt::pagegen {

// storage folder / [category /] program name + ".html". A category may be nested ("Home/Hobby");
// its folder must already exist.
Status WritePage(const QString& storageFolder, QStringView programName,
                 const std::optional<QString>& category, QStringView page);

// storage folder / record number + ".txt".
Status WritePadText(const QString& storageFolder, QStringView recordNumber, QStringView padText);

// storage folder / program name + ".txt": an article, named as its page would be.
Status WriteArticle(const QString& storageFolder, QStringView programName, QStringView article);

} // namespace vt::pagegen
