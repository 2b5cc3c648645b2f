#include "cli/IndexCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "cli/OptionNames.h"
#include "files/TextFile.h"
#include "platform/FileSystem.h"
#include "site/IndexPages.h"
#include "theme/ThemePages.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const QString NoFolderMessage = u"The folder \"%1\" does not exist."_s;

// --theme: the theme's index pages instead of the index template's. False, after saying why, when
// the theme cannot be used.
bool applyIndexTheme(Console& console, const Arguments& arguments, site::IndexRequest& request) {
    const QString name = arguments.value(option::Theme);
    if (!arguments.has(option::Theme) || name == theme::ClassicThemeName) {
        return true;
    }
    Result<theme::Theme> loaded = theme::LoadTheme(name);
    Result<site::IndexTheme> made =
        loaded ? theme::IndexThemeOf(std::make_shared<const theme::Theme>(std::move(loaded).value()))
               : Result<site::IndexTheme>(loaded.status());
    if (!made) {
        console.message(made.message());
        return false;
    }
    request.theme = std::move(made).value();
    return true;
}

} // namespace

ExitCode runIndex(const Arguments& arguments) {
    Console console;
    const QString folder = arguments.value(option::Storage);
    if (!platform::FolderExists(folder)) {
        console.message(NoFolderMessage.arg(folder));
        return ExitCode::Refused;
    }
    site::IndexRequest request{folder, arguments.value(option::SiteUrl)};
    if (arguments.has(option::IndexTemplate)) {
        request.templateSource = arguments.value(option::IndexTemplate);
        const Result<QString> text = files::readTextFile(request.templateSource);
        if (!text) {
            console.message(text.message());
            return ExitCode::Refused;
        }
        request.indexTemplate = text.value();
    }
    if (!applyIndexTheme(console, arguments, request)) {
        return ExitCode::Refused;
    }
    const Result<site::IndexRun> run = site::MakeIndexPages(request, [] { return !interrupted(); });
    if (!run) {
        console.message(run.message());
        return ExitCode::Refused;
    }
    if (!arguments.has(option::Quiet) || run.value().stopped) {
        console.message(site::DoneText(run.value()));
    }
    if (const QString failures = site::FailuresText(run.value()); !failures.isEmpty()) {
        console.message(failures);
    }
    return run.value().stopped              ? ExitCode::Interrupted
           : run.value().failures.isEmpty() ? ExitCode::Done
                                            : ExitCode::RecordsFailed;
}

} // namespace vt::cli
