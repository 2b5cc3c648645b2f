#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

#include "cli/ExitCode.h"

// The command line of the runner: a table of commands, each with its options, parsed into
// what one invocation asks for. The table alone decides what is accepted and what the help says.
namespace vt::cli {

// "--storage DIR", or a switch such as "--quiet" when it takes no value.
struct Option {
    QString name;
    QString valueName; // "" for a switch
    QString description;
};

// The options and bare arguments of one invocation, already checked against its command.
class Arguments {
public:
    Arguments() = default;
    Arguments(QHash<QString, QString> values, QStringList positional)
        : m_values(std::move(values))
        , m_positional(std::move(positional)) {}

    bool has(const QString& option) const { return m_values.contains(option); }
    // The option's value; "" for a switch or an option not given.
    QString value(const QString& option) const { return m_values.value(option); }
    const QStringList& positional() const { return m_positional; }

private:
    QHash<QString, QString> m_values;
    QStringList m_positional;
};

struct Command {
    QString name;
    QString summary;      // one line in the program's help
    QStringList synopses; // its forms, each after "vellumtide-cli "
    QString description;  // what it does, in a few lines
    std::vector<Option> options;
    QStringList required;  // options that must be given
    QStringList arguments; // the bare arguments it takes, all required ("DIR")
    QStringList examples;  // whole command lines
    // A combination of options the lists above cannot refuse, as a usage message; "" when fine.
    QString (*check)(const Arguments&) = nullptr;
    ExitCode (*run)(const Arguments&) = nullptr;
};

struct Invocation {
    enum class Kind { Run, Help, Version, UsageError };
    Kind kind = Kind::UsageError;
    const Command* command = nullptr; // none: the program as a whole
    Arguments arguments;
    QString error; // what is wrong with the line, for a usage error
};

// Parses the whole command line (the program's name first, then a command and its options).
// "--help", "-h" and "help [COMMAND]" ask for help, anywhere on the line; "--version" alone asks
// for the version.
Invocation parseCommandLine(const QStringList& line, const std::vector<Command>& commands);

// The program's help: its commands, common options, exit codes and examples.
QString programHelp(const std::vector<Command>& commands);
// "vellumtide-cli 0.1": the program's name and version, as --version prints them.
QString versionText();
// One command's help: its forms, options and examples.
QString commandHelp(const Command& command);
// The short usage shown after a usage error, for one command or the program.
QString usageText(const Command* command, const std::vector<Command>& commands);

} // namespace vt::cli
