// The window program: the main window over the workflow, with real dialogs and browser.
#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <string_view>

#include "app/WindowRegistry.h"
#include "category/CategorySorting.h"
#include "platform/NetworkBrowser.h"
#include "platform/QtDialogs.h"
#include "workflow/Workflow.h"

namespace {

const char* const ProgramHelp =
    "Usage: vellumtide [--article-maker]\n"
    "\n"
    "Opens Vellumtide's main window, which turns PAD files into HTML pages for a\n"
    "software download site: it imports a list of PAD file URLs, loads each PAD\n"
    "file, fills the web page template and writes one page per program, or makes\n"
    "the pages from a folder of PAD text files.\n"
    "\n"
    "Options:\n"
    "  --article-maker  Also show the \"Make Article\" menu entry, hidden otherwise.\n"
    "  -h, --help       Show this help.\n"
    "  --version        Show the version.\n"
    "\n"
    "Qt's own options, such as -platform NAME and -style NAME, are accepted too.\n"
    "vellumtide-cli runs the same steps without a window.\n";

bool given(int argc, char* argv[], std::string_view word) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == word) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // Help and version are answered before any window system is needed, so they work without a display.
    if (given(argc, argv, "--help") || given(argc, argv, "-h")) {
        std::fputs(ProgramHelp, stdout);
        return 0;
    }
    if (given(argc, argv, "--version")) {
        std::fputs("vellumtide " VELLUMTIDE_VERSION "\n", stdout);
        return 0;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumtide"));
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vellumtide"));
    // Every window of the program carries its icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vellumtide.png")));

    vt::platform::QtDialogs dialogs;
    vt::platform::NetworkBrowser browser;
    const vt::platform::Yield yield = [] {
        QCoreApplication::processEvents();
    };
    vt::workflow::Workflow workflow(dialogs, browser, yield);
    vt::category::CategorySorting sorting(workflow, dialogs, yield);
    vt::app::WindowRegistry windows(workflow, browser, dialogs, sorting);
    // The article maker's menu entry is hidden unless the program is started with --article-maker.
    windows.start(QCoreApplication::arguments().contains(QStringLiteral("--article-maker")));
    return QApplication::exec();
}
