#pragma once

#include <QElapsedTimer>
#include <QString>

#include <optional>

#include "cli/Console.h"
#include "cli/ConsoleDialogs.h"
#include "cli/ExitCode.h"
#include "cli/Progress.h"
#include "platform/NetworkBrowser.h"
#include "workflow/Workflow.h"

namespace vt::cli {

class Arguments;

// A run of the workflow from the command line: the model over the console's dialogs and the
// real browser, as the window program builds it, with the progress shown and Ctrl-C turned into
// the window's close. The checks a command makes before it starts are here too.
class Session {
public:
    // quiet: --quiet; listFile: what the open-file dialog picks ("" cancels it); parallel: the
    // browser's loads in flight at most (--parallel); limits: how long a load may wait (--timeout).
    explicit Session(bool quiet, const QString& listFile = QString(),
                     int parallel = platform::DefaultParallelLoads, const platform::FetchLimits& limits = {});
    Q_DISABLE_COPY_MOVE(Session)

    workflow::Workflow& workflow() { return m_workflow; }
    // The dialogs and the yield of this run, for the parts that drive the workflow with it.
    platform::Dialogs& dialogs() { return m_dialogs; }
    platform::Yield yielder() {
        return [this] {
            yield();
        };
    }
    Console& console() { return m_console; }
    platform::Browser& browser() { return m_browser; }
    Progress& progress() { return m_progress; }

    // False, after saying so, when the folder a command needs does not exist.
    bool requireFolder(const QString& role, const QString& folder);
    // The text of a file named by an option, read by the line rules of text files; nothing,
    // after saying why, when it cannot be read.
    std::optional<QString> readOptionText(const QString& path);
    // --template replaces the web page template (its working and master copy), --ad-block the
    // ad block, as a user pastes them into the template windows. False when a file is unreadable.
    bool applyPageTemplate(const Arguments& arguments);
    bool applyAdBlock(const Arguments& arguments);

    // Command6 as part of a run the runner holds: the workflow's own batch, ended by its summary.
    ExitCode runBatch();
    // The exit code of a run that went as far as the summary says; its failures are printed
    // unless the run has shown them already, and how many files it left unchanged unless quiet.
    ExitCode conclude(const workflow::BatchSummary& summary, bool failuresShown = false);

private:
    void yield();

    Console m_console;
    Progress m_progress;
    ConsoleDialogs m_dialogs;
    platform::NetworkBrowser m_browser;
    workflow::Workflow m_workflow;
    bool m_quiet;
    // When the events were last handled.
    QElapsedTimer m_eventsHandled;
};

} // namespace vt::cli
