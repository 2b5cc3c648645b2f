#pragma once

#include <QString>

#include "cli/ExitCode.h"

namespace vt::cli {

class Arguments;

// check: the records that pages (or sort) would make, checked before the run; a report of
// every page that would come out wrong, unsafe or lost. Writes nothing.
ExitCode runCheck(const Arguments& arguments);
// The combinations of options check refuses; "" when the line is fine.
QString checkCheck(const Arguments& arguments);

} // namespace vt::cli
