#pragma once

#include <QSize>

class QWidget;

namespace vt::platform {

// Gives a window its designed size where the screen's free area (without panels and docks) holds
// it with its frame, the free area's size otherwise, and centres it there: its title bar and menus
// are always on the screen, at any scale factor.
void PlaceOnScreen(QWidget* window, QSize designed);

} // namespace vt::platform
