#pragma once

#include <QString>

#include "cli/ExitCode.h"

namespace vt::cli {

class Arguments;

// index: index pages of the category folders a sort filed, or of a folder of pages, and the sitemap
// of every page.
ExitCode runIndex(const Arguments& arguments);

} // namespace vt::cli
