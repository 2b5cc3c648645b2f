#pragma once

// Ctrl-C during a run: the first one asks the run to stop at its next yield, as closing the
// window does; a second one ends the program at once.
namespace vt::cli {

void catchInterrupt();
bool interrupted();

} // namespace vt::cli
