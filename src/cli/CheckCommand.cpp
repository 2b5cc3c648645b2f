#include "cli/CheckCommand.h"

#include <cstdio>

#include "check/CheckReport.h"
#include "check/CheckSources.h"
#include "cli/BatchCommands.h"
#include "cli/CommandLine.h"
#include "cli/Interrupt.h"
#include "cli/OptionNames.h"
#include "cli/Session.h"
#include "platform/ControlNumbers.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const QStringList Formats = {u"text"_s, u"csv"_s, u"json"_s};
const QString StoppedMessage = u"Stopped by Ctrl-C after %1 of %2 records; the report covers those."_s;

std::optional<int> numberOption(const Arguments& arguments, const QString& name) {
    if (!arguments.has(name)) {
        return std::nullopt;
    }
    return platform::toInt16(arguments.value(name));
}

void printReport(const QString& format, const check::CheckRun& run) {
    const QByteArray bytes = format == u"csv"_s ? check::CsvReport(run.findings)
                             : format == u"json"_s
                                 ? check::JsonReport(run.findings, run.checked)
                                 : check::TextReport(run.findings, run.checked).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

QString checkCheck(const Arguments& arguments) {
    if (arguments.has(option::ByCategory) && !arguments.has(option::FromTexts)) {
        return u"--%1 goes with --from-texts."_s.arg(option::ByCategory);
    }
    if (arguments.has(option::Format) && !Formats.contains(arguments.value(option::Format))) {
        return u"--format takes text, csv or json, not \"%1\"."_s.arg(arguments.value(option::Format));
    }
    return checkPages(arguments);
}

ExitCode runCheck(const Arguments& arguments) {
    Session session(arguments.has(option::Quiet), QString(), parallelOf(arguments), limitsOf(arguments));
    const platform::Yield yield = session.yielder();
    const check::CheckHooks hooks{[&](int done, int total) { session.progress().update(done, total); },
                                  [&] {
                                      yield();
                                      return !interrupted();
                                  }};
    const bool fromTexts = arguments.has(option::FromTexts);
    if (fromTexts &&
        !session.requireFolder(u"folder of PAD text files"_s, arguments.value(option::FromTexts))) {
        return ExitCode::Refused;
    }
    const Result<check::CheckRun> run =
        fromTexts ? check::CheckTextFolder({arguments.value(option::FromTexts),
                                            numberOption(arguments, option::End),
                                            arguments.has(option::ByCategory)},
                                           hooks)
                  : check::CheckUrlList(
                        {arguments.value(option::UrlList), numberOption(arguments, option::Start).value_or(0),
                         numberOption(arguments, option::End), arguments.has(option::AllowLocalFiles)},
                        session.browser(), hooks);
    if (!run) {
        session.console().message(run.message());
        return ExitCode::Refused;
    }
    session.progress().finish(!run.value().stopped);
    printReport(arguments.value(option::Format), run.value());
    if (run.value().stopped) {
        session.console().message(StoppedMessage.arg(run.value().checked).arg(run.value().records));
        return ExitCode::Interrupted;
    }
    return check::HasError(run.value().findings) ? ExitCode::RecordsFailed : ExitCode::Done;
}

} // namespace vt::cli
