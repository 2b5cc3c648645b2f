#pragma once

#include <QString>

#include "cli/ExitCode.h"

namespace vt::cli {

class Arguments;

// defaults: the default web page template, ad block and index template as files a user can
// edit and hand back with --template, --ad-block and --index-template; with --theme modern, the
// files of the built-in modern theme, to edit and hand back as a theme folder with --theme.
ExitCode runDefaults(const Arguments& arguments);
// --theme takes the two built-in themes only; "" when the line is fine.
QString checkDefaults(const Arguments& arguments);

} // namespace vt::cli
