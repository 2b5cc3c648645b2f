#include "cli/DefaultsCommand.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "files/SafePath.h"
#include "files/Windows1252.h"
#include "pagegen/TemplateDefaults.h"
#include "platform/FileSystem.h"
#include "site/IndexTemplate.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const QString NoFolderMessage = u"The folder \"%1\" does not exist."_s;

struct DefaultText {
    QString fileName;
    const QString& text;
};

} // namespace

ExitCode runDefaults(const Arguments& arguments) {
    Console console;
    const QString folder = arguments.positional().at(0);
    if (!platform::FolderExists(folder)) {
        console.message(NoFolderMessage.arg(folder));
        return ExitCode::Refused;
    }
    const DefaultText texts[] = {{u"page-template.html"_s, pagegen::DefaultPageTemplate()},
                                 {u"ad-block.txt"_s, pagegen::DefaultAdBlock()},
                                 {u"index-template.html"_s, site::DefaultIndexTemplate()}};
    ExitCode exitCode = ExitCode::Done;
    for (const DefaultText& each : texts) {
        // The text exactly as held, with no line end added: each default already ends with CR LF,
        // so reading the file back by the line rules gives the same text again.
        const auto written = platform::ReplaceFile(files::displayPath(folder, each.fileName),
                                                   files::encodeWindows1252(each.text));
        if (!written) {
            console.message(written.message());
            exitCode = ExitCode::RecordsFailed;
        }
    }
    return exitCode;
}

} // namespace vt::cli
