#pragma once

#include <vector>

#include "cli/CommandLine.h"

namespace vt::cli {

// Every command of the runner, in the order the help lists them.
const std::vector<Command>& Commands();

} // namespace vt::cli
