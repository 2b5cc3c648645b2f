#pragma once

#include <functional>

namespace vt::platform {

// Lets the window process its pending events once (repaint, input, the actions input starts).
// Long actions call it between their steps; tests and the headless runner inject their own.
using Yield = std::function<void()>;

} // namespace vt::platform
