// The window program: the main window over the workflow, with real dialogs and browser.
#include <QApplication>

#include "app/WindowRegistry.h"
#include "category/CategorySorting.h"
#include "platform/NetworkBrowser.h"
#include "platform/QtDialogs.h"
#include "workflow/Workflow.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumtide"));

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
