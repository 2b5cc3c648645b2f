#include "cli/ConsoleDialogs.h"

#include "cli/Console.h"

namespace vt::cli {

using namespace Qt::StringLiterals;

ConsoleDialogs::ConsoleDialogs(Console& console, bool quiet, QString chosenFile)
    : m_console(console)
    , m_quiet(quiet)
    , m_chosenFile(std::move(chosenFile)) {}

// A warning tells of a refusal or a failure, so even a quiet run shows it; a quiet run leaves
// out the notes on how the run goes and the questions.
platform::Answer ConsoleDialogs::message(const QString& text, platform::MessageButtons buttons,
                                         platform::MessageIcon icon) {
    if (buttons == platform::MessageButtons::Ok) {
        if (!m_quiet || icon == platform::MessageIcon::Exclamation) {
            m_console.message(text);
        }
        return platform::Answer::Ok;
    }
    if (!m_quiet) {
        m_console.message(text + u" Yes"_s);
    }
    return platform::Answer::Yes;
}

std::optional<QString> ConsoleDialogs::openFile(const QString&) {
    return m_chosenFile.isEmpty() ? std::nullopt : std::optional<QString>(m_chosenFile);
}

} // namespace vt::cli
