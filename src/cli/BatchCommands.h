#pragma once

#include <QString>

#include "cli/ExitCode.h"
#include "platform/PageLoad.h"

namespace vt::cli {

class Arguments;

// pages: the batch in text-file mode over a folder of PAD texts, or in URL mode over an
// imported list of PAD file URLs.
ExitCode runPages(const Arguments& arguments);
// texts: the batch in text-store mode over an imported list: 0.txt, 1.txt ...
ExitCode runTexts(const Arguments& arguments);
// The combinations of options pages and texts refuse; "" when the line is fine.
QString checkPages(const Arguments& arguments);
QString checkTexts(const Arguments& arguments);
// The browser's loads in flight at most: --parallel, or the default.
int parallelOf(const Arguments& arguments);
// How long a load may wait: --timeout, or the default.
platform::FetchLimits limitsOf(const Arguments& arguments);

} // namespace vt::cli
