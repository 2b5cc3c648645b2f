#pragma once

#include "cli/ExitCode.h"

namespace vt::cli {

class Arguments;

// defaults: the default web page template and ad block as files a user can edit and hand
// back with --template and --ad-block.
ExitCode runDefaults(const Arguments& arguments);

} // namespace vt::cli
