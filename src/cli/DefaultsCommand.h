#pragma once

#include "cli/ExitCode.h"

namespace vt::cli {

class Arguments;

// defaults: the default web page template, ad block and index template as files a user can
// edit and hand back with --template, --ad-block and --index-template.
ExitCode runDefaults(const Arguments& arguments);

} // namespace vt::cli
