#include "platform/ScreenFit.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace vt::platform {
namespace {

// What a window manager's frame may add around a window that is not shown yet: a border on each
// side and the title bar above.
QSize frameAllowance(const QWidget* window) {
    const int border = 8;
    const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return {2 * border, 2 * border + title};
}

} // namespace

void PlaceOnScreen(QWidget* window, QSize designed) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect free = screen->availableGeometry();
    const QSize room = (free.size() - frameAllowance(window)).expandedTo({1, 1});
    window->resize(designed.boundedTo(room));
    // A window's position is that of its frame.
    const QSize outer = window->size() + frameAllowance(window);
    window->move(free.left() + std::max(0, (free.width() - outer.width()) / 2),
                 free.top() + std::max(0, (free.height() - outer.height()) / 2));
}

} // namespace vt::platform
