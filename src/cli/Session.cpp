#include "cli/Session.h"

#include <QCoreApplication>

#include "cli/CommandLine.h"
#include "cli/Interrupt.h"
#include "cli/OptionNames.h"
#include "files/TextFile.h"
#include "platform/FileSystem.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;
using workflow::TemplateText;

const QString NoFolderMessage = u"The %1 \"%2\" does not exist."_s;
const QString StoppedEarlyMessage =
    u"Stopped by Ctrl-C before the first record; every file written up to then is whole."_s;
const QString StoppedMessage =
    u"Stopped by Ctrl-C after %1 of %2 records; every file written up to then is whole."_s;

} // namespace

Session::Session(bool quiet, const QString& listFile, int parallel, const platform::FetchLimits& limits)
    : m_progress(m_console, quiet)
    , m_dialogs(m_console, quiet, listFile)
    , m_browser(limits, parallel)
    , m_workflow(m_dialogs, m_browser, [this] { yield(); })
    , m_quiet(quiet) {
    // A log names every failed record and replaced page, not only the first few.
    m_workflow.setNamedInSummary(-1);
    QObject::connect(&m_workflow, &workflow::Workflow::batchProgress, &m_workflow,
                     [this](int done, int total) { m_progress.update(done, total); });
}

// The browser loads in the events handled here; a Ctrl-C since the last yield closes the
// "window", so the run stops at this yield and writes nothing more. Handling events costs a round
// of system calls, more than a record of text-file mode takes: they are handled at most once a
// millisecond, as often as a load waits between its looks at the browser.
void Session::yield() {
    constexpr qint64 EventsEveryNs = 1'000'000;
    if (!m_eventsHandled.isValid() || m_eventsHandled.nsecsElapsed() >= EventsEveryNs) {
        QCoreApplication::processEvents();
        m_eventsHandled.start();
    }
    if (interrupted() && !m_workflow.isShutDown()) {
        m_workflow.shutDown();
    }
}

bool Session::requireFolder(const QString& role, const QString& folder) {
    if (platform::FolderExists(folder)) {
        return true;
    }
    m_console.message(NoFolderMessage.arg(role, folder));
    return false;
}

std::optional<QString> Session::readOptionText(const QString& path) {
    Result<QString> text = files::readTextFile(path);
    if (!text) {
        m_console.message(text.message());
        return std::nullopt;
    }
    return std::move(text).value();
}

bool Session::applyPageTemplate(const Arguments& arguments) {
    if (!arguments.has(option::Template)) {
        return true;
    }
    const std::optional<QString> text = readOptionText(arguments.value(option::Template));
    if (text) {
        m_workflow.setTemplateText(TemplateText::Page, *text);
        m_workflow.setTemplateText(TemplateText::Backup, *text);
    }
    return text.has_value();
}

bool Session::applyAdBlock(const Arguments& arguments) {
    if (!arguments.has(option::AdBlock)) {
        return true;
    }
    const std::optional<QString> text = readOptionText(arguments.value(option::AdBlock));
    if (text) {
        m_workflow.setTemplateText(TemplateText::AdBlock, *text);
    }
    return text.has_value();
}

ExitCode Session::runBatch() {
    workflow::BatchSummary summary;
    // A Ctrl-C during the import has already closed the workflow, which then refuses to begin.
    if (m_workflow.beginRun()) {
        summary = m_workflow.runBatch();
        m_workflow.endRun();
    }
    m_progress.finish(!interrupted());
    return conclude(summary);
}

ExitCode Session::conclude(const workflow::BatchSummary& summary, bool failuresShown) {
    // A Ctrl-C before the first record (during the import, or the split of a sort) refuses the
    // page run; it is still a stop, not a refusal.
    if (summary.refused && !interrupted()) {
        return ExitCode::Refused; // the workflow has said why
    }
    const bool told = summary.allMade() ? !m_quiet && summary.worthTelling() : !failuresShown;
    if (told) {
        m_console.message(workflow::Workflow::summaryText(summary, m_workflow.namedInSummary()));
    }
    if (interrupted()) {
        m_console.message(m_progress.total() == 0
                              ? StoppedEarlyMessage
                              : StoppedMessage.arg(m_progress.done()).arg(m_progress.total()));
        return ExitCode::Interrupted;
    }
    return summary.allMade() ? ExitCode::Done : ExitCode::RecordsFailed;
}

} // namespace vt::cli
