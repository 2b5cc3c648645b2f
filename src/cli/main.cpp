// The headless runner: the main window's batch, import and article runs from a command line.
#include <QCoreApplication>

#include <cstdio>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"

namespace {

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vellumtide-cli"));

    using namespace vt::cli;
    const std::vector<Command>& commands = Commands();
    const Invocation invocation = parseCommandLine(QCoreApplication::arguments(), commands);
    switch (invocation.kind) {
    case Invocation::Kind::Help:
        print(stdout, invocation.command ? commandHelp(*invocation.command) : programHelp(commands));
        return int(ExitCode::Done);
    case Invocation::Kind::Version:
        print(stdout, versionText());
        return int(ExitCode::Done);
    case Invocation::Kind::UsageError:
        print(stderr, QStringLiteral("vellumtide-cli: %1\n").arg(invocation.error) +
                          usageText(invocation.command, commands));
        return int(ExitCode::Refused);
    case Invocation::Kind::Run:
        break;
    }
    catchInterrupt();
    return int(invocation.command->run(invocation.arguments));
}
