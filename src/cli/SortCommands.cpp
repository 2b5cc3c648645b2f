#include "cli/SortCommands.h"

#include "category/CategorySorting.h"
#include "cli/CommandLine.h"
#include "cli/Interrupt.h"
#include "cli/OptionNames.h"
#include "cli/Session.h"
#include "cli/SiteOptions.h"
#include "files/AllFiles.h"
#include "files/SafePath.h"
#include "site/IndexPages.h"
#include "platform/ControlNumbers.h"
#include "splitter/FolderSplit.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const QString DefaultPerFolder = u"50"_s;
const QString SplitDone = u"Moved %1 files of \"%2\" into its subfolders 0 to %3."_s;
const QString NoFiles = u"The folder \"%1\" holds no files: no subfolder was made and nothing was moved."_s;
const QString NotMoved =
    u"%1 files were left where they were: a file of the same name was already in their subfolder, or they "
    "could not be moved."_s;

} // namespace

ExitCode runSort(const Arguments& arguments) {
    Session session(arguments.has(option::Quiet));
    const QString folder = arguments.value(option::PadTextFolder);
    if (!session.requireFolder(u"folder of PAD text files"_s, folder) ||
        !session.applyPageTemplate(arguments) || !session.applyAdBlock(arguments)) {
        return ExitCode::Refused;
    }
    // Checked before the category pass moves a single PAD text.
    const Result<std::shared_ptr<const theme::Theme>> theme = applyTheme(session, arguments);
    if (!theme) {
        return ExitCode::Refused;
    }
    session.workflow().setEscapeMarkup(arguments.has(option::SafeValues));
    category::CategorySorting sorting(session.workflow(), session.dialogs(), session.yielder());
    session.workflow().setPadTextFolder(folder);
    sorting.pressCommand12();
    session.progress().finish(!interrupted());
    // The category run has shown its failed records at its end.
    return copyThemeFiles(session.console(), theme.value(),
                          files::displayPath(folder, site::CategoryFolderName),
                          session.conclude(sorting.lastRun(), true));
}

QString checkSplit(const Arguments& arguments) {
    const std::optional<std::int32_t> per = platform::toInt32(arguments.value(option::Per));
    if (arguments.has(option::Per) && (!per || *per <= 0)) {
        return u"--per takes a whole number above 0, not \"%1\"."_s.arg(arguments.value(option::Per));
    }
    return QString();
}

ExitCode runSplit(const Arguments& arguments) {
    Session session(arguments.has(option::Quiet));
    const QString folder = arguments.value(option::Folder);
    if (!session.requireFolder(u"folder"_s, folder)) {
        return ExitCode::Refused;
    }
    const Result<QStringList> listing = files::AllFiles(folder);
    if (!listing) {
        session.console().message(listing.message());
        return ExitCode::Refused;
    }
    const QString perFolder = arguments.has(option::Per) ? arguments.value(option::Per) : DefaultPerFolder;
    // A folder without files is listed as one empty name: nothing to move.
    const int count = listing.value().constFirst().isEmpty() ? 0 : int(listing.value().size());
    const int estimate = splitter::FolderEstimate(QString::number(count), perFolder).value_or(0);
    const splitter::SplitResult result = splitter::SplitFolder(
        folder, estimate, platform::toInt32(perFolder).value_or(1), count, [&](int index) {
            session.progress().update(index + 1, count);
            return !interrupted();
        });
    session.progress().finish(!interrupted());
    session.console().message(count == 0 ? NoFiles.arg(folder)
                                         : SplitDone.arg(result.moved).arg(folder).arg(estimate));
    if (result.notMoved > 0) {
        session.console().message(NotMoved.arg(result.notMoved) + u"\n"_s + result.reasons.join(u'\n'));
    }
    if (interrupted()) {
        return ExitCode::Interrupted;
    }
    return result.notMoved > 0 ? ExitCode::RecordsFailed : ExitCode::Done;
}

} // namespace vt::cli
