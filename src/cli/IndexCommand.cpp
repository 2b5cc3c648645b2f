#include "cli/IndexCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "cli/OptionNames.h"
#include "cli/SiteOptions.h"
#include "files/SafePath.h"
#include "files/TextFile.h"
#include "platform/FileSystem.h"
#include "site/IndexPages.h"
#include "site/SiteAddress.h"
#include "theme/ThemePages.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const QString NoFolderMessage = u"The folder \"%1\" does not exist."_s;
const QString NoIndexTemplate =
    u"The theme \"%1\" has no index.html: a theme makes the index pages from it."_s;

// --theme: the theme's index pages instead of the index template's. False, after saying why, when
// the theme cannot be used.
bool applyIndexTheme(Console& console, const Arguments& arguments, site::IndexRequest& request,
                     std::shared_ptr<const theme::Theme>& chosen) {
    const QString name = arguments.value(option::Theme);
    if (!arguments.has(option::Theme) || name == theme::ClassicThemeName) {
        return true;
    }
    Result<theme::Theme> loaded = theme::LoadTheme(name);
    if (!loaded || !theme::HasIndexTemplate(loaded.value())) {
        console.message(loaded ? NoIndexTemplate.arg(name) : loaded.message());
        return false;
    }
    chosen = std::make_shared<const theme::Theme>(std::move(loaded).value());
    request.themeIndex = theme::IndexThemeOf(chosen, site::SiteAddress(request.siteUrl).value());
    request.themeFeed = theme::FeedThemeOf(chosen);
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
    std::shared_ptr<const theme::Theme> chosen;
    if (!applyIndexTheme(console, arguments, request, chosen)) {
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
    const ExitCode made = run.value().stopped              ? ExitCode::Interrupted
                          : run.value().failures.isEmpty() ? ExitCode::Done
                                                           : ExitCode::RecordsFailed;
    const QString categories = files::displayPath(folder, site::CategoryFolderName);
    return copyThemeFiles(console, chosen,
                          run.value().layout == site::Layout::Categories ? categories : folder, made);
}

} // namespace vt::cli
