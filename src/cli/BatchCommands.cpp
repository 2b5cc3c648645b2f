#include "cli/BatchCommands.h"

#include "cli/CommandLine.h"
#include "cli/OptionNames.h"
#include "cli/Session.h"
#include "cli/SiteOptions.h"
#include "files/AllFiles.h"
#include "files/TextFile.h"
#include "platform/ControlNumbers.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const QString StorageRole = u"storage folder"_s;
const QString TextsRole = u"folder of PAD text files"_s;
constexpr int MaxParallel = 64;
const QString EmptyList = u"The list of PAD files \"%1\" holds no URL."_s;

// The import's start record box takes what the import itself can read, the range end what a
// batch accepts.
QString checkRange(const Arguments& arguments) {
    if (arguments.has(option::Start) && !platform::toInt16(arguments.value(option::Start))) {
        return u"--start takes a whole number from -32,768 to 32,767, not \"%1\"."_s.arg(
            arguments.value(option::Start));
    }
    const std::optional<std::int32_t> parallel = platform::toInt32(arguments.value(option::Parallel));
    if (arguments.has(option::Parallel) && (!parallel || *parallel < 1 || *parallel > MaxParallel)) {
        return u"--parallel takes a whole number from 1 to %1, not \"%2\"."_s.arg(MaxParallel)
            .arg(arguments.value(option::Parallel));
    }
    if (arguments.has(option::Timeout) && !platform::NoDataWaitOf(arguments.value(option::Timeout))) {
        return u"--timeout takes a whole number of seconds from %1 to %2, not \"%3\"."_s
            .arg(platform::MinNoDataWait)
            .arg(platform::MaxNoDataWait)
            .arg(arguments.value(option::Timeout));
    }
    const std::optional<std::int16_t> end = platform::toInt16(arguments.value(option::End));
    if (arguments.has(option::End) && (!end || *end < 0)) {
        return u"--end takes a whole number from 0 to 32,767, not \"%1\"."_s.arg(
            arguments.value(option::End));
    }
    return QString();
}

// --end types the range end into "Range = 0 to" after the import or the folder choice has set it.
void setRangeEnd(Session& session, const Arguments& arguments) {
    if (arguments.has(option::End)) {
        session.workflow().setRangeEnd(arguments.value(option::End));
    }
}

// Step 1 as a user does it: the start record typed first, then the import, whose question is
// answered Yes and whose file dialog picks the list. False, after saying why, when the list is
// empty: the batch's own note of it is no warning, which a quiet run would not show.
bool importList(Session& session, const Arguments& arguments) {
    const QString list = arguments.value(option::UrlList);
    const Result<QStringList> firstLine = files::readTextLines(list, 1, files::LineEnds::AnyBreak);
    if (firstLine && firstLine.value().isEmpty()) {
        session.console().message(EmptyList.arg(list));
        return false;
    }
    session.workflow().setAllowLocalFiles(arguments.has(option::AllowLocalFiles));
    session.workflow().setFetchOnlyChanged(arguments.has(option::SinceLast));
    if (arguments.has(option::Start)) {
        session.workflow().setStartRecord(arguments.value(option::Start));
    }
    session.workflow().pressStep1();
    return true;
}

// Check2 ticked and the folder chosen in the PAD text folder chooser, which sets the range end
// to the highest index of the folder's listing.
bool chooseTextFolder(Session& session, const QString& folder) {
    if (!session.requireFolder(TextsRole, folder)) {
        return false;
    }
    // The chooser passes over a folder it cannot list; the runner says why and does not start.
    if (const Result<QStringList> names = files::AllFiles(folder); !names) {
        session.console().message(names.message());
        return false;
    }
    session.workflow().setCheck2(1);
    session.workflow().choosePadTextFolder(folder);
    return true;
}

} // namespace

int parallelOf(const Arguments& arguments) {
    return arguments.has(option::Parallel) ? platform::toInt32(arguments.value(option::Parallel)).value_or(1)
                                           : platform::DefaultParallelLoads;
}

platform::FetchLimits limitsOf(const Arguments& arguments) {
    const std::optional<int> timeout = platform::NoDataWaitOf(arguments.value(option::Timeout));
    return timeout ? platform::LimitsWithNoDataWait(std::chrono::seconds(*timeout)) : platform::FetchLimits{};
}

QString checkPages(const Arguments& arguments) {
    if (arguments.has(option::FromTexts) == arguments.has(option::UrlList)) {
        return u"Give either --from-texts DIR or --url-list FILE."_s;
    }
    for (const QString& urlOption :
         {option::Start, option::AllowLocalFiles, option::Parallel, option::Timeout, option::SinceLast}) {
        if (arguments.has(urlOption) && !arguments.has(option::UrlList)) {
            return u"--%1 goes with --url-list."_s.arg(urlOption);
        }
    }
    const QString siteUrl = checkSiteUrl(arguments);
    return siteUrl.isEmpty() ? checkRange(arguments) : siteUrl;
}

QString checkTexts(const Arguments& arguments) {
    return checkRange(arguments);
}

ExitCode runPages(const Arguments& arguments) {
    Session session(arguments.has(option::Quiet), arguments.value(option::UrlList), parallelOf(arguments),
                    limitsOf(arguments));
    const QString storage = arguments.value(option::Storage);
    if (!session.requireFolder(StorageRole, storage) || !session.applyPageTemplate(arguments) ||
        !session.applyAdBlock(arguments)) {
        return ExitCode::Refused;
    }
    const Result<std::shared_ptr<const theme::Theme>> theme = applyTheme(session, arguments);
    if (!theme) {
        return ExitCode::Refused;
    }
    session.workflow().setStorageFolder(storage);
    session.workflow().setEscapeMarkup(arguments.has(option::SafeValues));
    if (arguments.has(option::FromTexts)) {
        if (!chooseTextFolder(session, arguments.value(option::FromTexts))) {
            return ExitCode::Refused;
        }
    } else if (!importList(session, arguments)) {
        return ExitCode::Refused;
    }
    setRangeEnd(session, arguments);
    return copyThemeFiles(session.console(), theme.value(), storage, session.runBatch());
}

ExitCode runTexts(const Arguments& arguments) {
    Session session(arguments.has(option::Quiet), arguments.value(option::UrlList), parallelOf(arguments),
                    limitsOf(arguments));
    const QString storage = arguments.value(option::Storage);
    if (!session.requireFolder(StorageRole, storage)) {
        return ExitCode::Refused;
    }
    session.workflow().setCheck1(1);
    session.workflow().setStorageFolder(storage);
    if (!importList(session, arguments)) {
        return ExitCode::Refused;
    }
    setRangeEnd(session, arguments);
    return session.runBatch();
}

} // namespace vt::cli
