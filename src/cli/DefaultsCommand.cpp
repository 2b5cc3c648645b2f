#include "cli/DefaultsCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/OptionNames.h"
#include "files/SafePath.h"
#include "files/Windows1252.h"
#include "pagegen/TemplateDefaults.h"
#include "platform/FileSystem.h"
#include "site/IndexTemplate.h"
#include "theme/Theme.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const QString NoFolderMessage = u"The folder \"%1\" does not exist."_s;

struct DefaultText {
    QString fileName;
    const QString& text;
};

} // namespace

QString checkDefaults(const Arguments& arguments) {
    const QString theme = arguments.value(option::Theme);
    return !arguments.has(option::Theme) || theme == theme::ClassicThemeName ||
                   theme == theme::ModernThemeName
               ? QString()
               : u"--theme takes classic or modern, not \"%1\"."_s.arg(theme);
}

ExitCode runDefaults(const Arguments& arguments) {
    Console console;
    const QString folder = arguments.positional().at(0);
    if (!platform::FolderExists(folder)) {
        console.message(NoFolderMessage.arg(folder));
        return ExitCode::Refused;
    }
    std::vector<theme::ThemeFile> written;
    if (arguments.value(option::Theme) == theme::ModernThemeName) {
        written = theme::ModernThemeFiles();
    } else {
        const DefaultText texts[] = {{u"page-template.html"_s, pagegen::DefaultPageTemplate()},
                                     {u"ad-block.txt"_s, pagegen::DefaultAdBlock()},
                                     {u"index-template.html"_s, site::DefaultIndexTemplate()}};
        // The text exactly as held, with no line end added: each default already ends with CR LF,
        // so reading the file back by the line rules gives the same text again.
        for (const DefaultText& each : texts) {
            written.push_back({each.fileName, files::encodeWindows1252(each.text)});
        }
    }
    ExitCode exitCode = ExitCode::Done;
    for (const theme::ThemeFile& file : written) {
        if (const auto write = platform::ReplaceFile(files::displayPath(folder, file.name), file.bytes);
            !write) {
            console.message(write.message());
            exitCode = ExitCode::RecordsFailed;
        }
    }
    return exitCode;
}

} // namespace vt::cli
