#pragma once

#include "files/Outcome.h"

#include <QString>

#include <functional>

// The PAD text files an article is made from.
namespace vt::article {

struct SourcesLoaded {
    qsizetype read = 0;       // files whose text was handed on
    qsizetype unreadable = 0; // files that could not be opened or read, passed over
};

// Reads every file of the folder, in the order AllFiles lists them, by the line rules of text
// files (each line followed by CR LF, an empty file giving ""), and hands each text to take in
// turn: a caller that keeps only the last one ends with the last file's text. The listing is
// taken once, at the start. A file that cannot be read is passed over and counted; a folder
// without files hands on nothing. Fails only when the folder exists but cannot be listed.
Result<SourcesLoaded> LoadArticleSources(const QString& folder, const std::function<void(QString)>& take);

} // namespace vt::article
