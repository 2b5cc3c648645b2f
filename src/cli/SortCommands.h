#pragma once

#include <QString>

#include "cli/ExitCode.h"

namespace vt::cli {

class Arguments;

// sort: the category folder pass over a folder of numbered PAD text files, its questions
// answered Yes, then the split and the category run: pages in DIR/Category/<category>/.
ExitCode runSort(const Arguments& arguments);
// split: the folder's files moved into numbered subfolders of --per files (50 by default).
ExitCode runSplit(const Arguments& arguments);
QString checkSplit(const Arguments& arguments);

} // namespace vt::cli
