#pragma once

#include <QTemporaryDir>

#include <functional>

#include "ScriptedBrowser.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "workflow/Workflow.h"

namespace vt::testing {

// A workflow over scripted dialogs and browser, with a scratch folder. Its yields run onYield,
// which a test sets to act as the user would while a pass runs.
struct WorkflowFixture {
    ScriptedDialogs dialogs;
    ScriptedBrowser browser;
    std::function<void()> onYield = [] {
    };
    workflow::Workflow workflow{dialogs, browser, std::ref(onYield)};
    QTemporaryDir temp;

    QString path(const QString& name) const { return temp.filePath(name); }
    // Writes a file of the scratch folder and gives its path.
    QString write(const QString& name, const QByteArray& bytes) const {
        writeBytes(path(name), bytes);
        return path(name);
    }
};

} // namespace vt::testing
