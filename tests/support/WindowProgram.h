#pragma once

#include <QAction>
#include <QCoreApplication>

#include "ScriptedBrowser.h"
#include "ScriptedDialogs.h"
#include "app/WindowRegistry.h"
#include "category/CategorySorting.h"
#include "workflow/Workflow.h"

namespace vt::testing {

// The window program as main builds it, over scripted dialogs and browser; started by the test.
struct WindowProgram {
    ScriptedDialogs dialogs;
    ScriptedBrowser browser;
    platform::Yield yield = [] {
        QCoreApplication::processEvents();
    };
    workflow::Workflow workflow{dialogs, browser, yield};
    category::CategorySorting sorting{workflow, dialogs, yield};
    app::WindowRegistry windows{workflow, browser, dialogs, sorting};

    // A menu entry of the main window, by its object name.
    QAction* menuEntry(const QString& name) const {
        return windows.window(app::WindowId::Form1)->findChild<QAction*>(name);
    }
};

} // namespace vt::testing
