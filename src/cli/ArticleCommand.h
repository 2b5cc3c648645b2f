#pragma once

#include <QString>

#include "cli/ExitCode.h"

namespace vt::cli {

class Arguments;

// article: one article per PAD text of a folder, each written as <program name>.txt.
ExitCode runArticle(const Arguments& arguments);
QString checkArticle(const Arguments& arguments);

} // namespace vt::cli
