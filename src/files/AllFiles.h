#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

namespace vt::files {

// The bare names of the files directly in a folder, sorted as a Windows volume lists them
// (case-insensitively, exact code units breaking ties), so record n is always the same file
// of an unchanged folder. Hidden files are listed, subfolders never. A folder that is missing
// or holds no files gives one empty name. A folder that exists but cannot be read is a failure.
//
// Repeated listings of an unchanged folder come from a cache and cost almost nothing; any
// file added, removed or renamed is seen at the next call.
Result<QStringList> AllFiles(const QString& fullPath);

} // namespace vt::files
