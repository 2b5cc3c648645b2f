#include "cli/CommandLine.h"

#include <QCommandLineParser>

#include <algorithm>

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const QString ProgramName = u"vellumtide-cli"_s;
// Help texts are wrapped to fit an 80-column terminal.
constexpr qsizetype LineWidth = 80;

const QStringList HelpWords = {u"-h"_s, u"--help"_s, u"help"_s};
const QString VersionWord = u"--version"_s;

Invocation usageError(const Command* command, const QString& error) {
    return {Invocation::Kind::UsageError, command, {}, error};
}

const Command* find(const std::vector<Command>& commands, const QString& name) {
    const auto found =
        std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return c.name == name; });
    return found == commands.end() ? nullptr : &*found;
}

const Option* findOption(const Command& command, const QString& name) {
    const auto found = std::find_if(command.options.begin(), command.options.end(),
                                    [&](const Option& o) { return o.name == name; });
    return found == command.options.end() ? nullptr : &*found;
}

QString spelling(const Option& option) {
    return option.valueName.isEmpty() ? u"--"_s + option.name
                                      : u"--%1 %2"_s.arg(option.name, option.valueName);
}

// The words after the command name: the parser's checks first (unknown options, missing values),
// then the command's own (repeated options, required ones, bare arguments, combinations).
Invocation parseCommand(const QString& program, const Command& command, const QStringList& rest) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    parser.addOption(help);
    for (const Option& option : command.options) {
        parser.addOption(option.valueName.isEmpty()
                             ? QCommandLineOption(option.name)
                             : QCommandLineOption(option.name, option.description, option.valueName));
    }
    if (!parser.parse(QStringList{program} + rest)) {
        return usageError(&command, parser.errorText());
    }
    if (parser.isSet(help)) {
        return {Invocation::Kind::Help, &command, {}, {}};
    }
    QHash<QString, QString> values;
    for (const Option& option : command.options) {
        const QStringList given = parser.values(option.name);
        if (!option.valueName.isEmpty() && given.size() > 1) {
            return usageError(&command, u"--%1 is given more than once."_s.arg(option.name));
        }
        if (parser.isSet(option.name)) {
            values.insert(option.name, given.value(0));
        }
    }
    for (const QString& name : command.required) {
        if (!values.contains(name)) {
            return usageError(&command, u"Missing %1."_s.arg(spelling(*findOption(command, name))));
        }
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < command.arguments.size()) {
        return usageError(&command, u"Missing %1."_s.arg(command.arguments.at(positional.size())));
    }
    if (positional.size() > command.arguments.size()) {
        return usageError(&command,
                          u"Unexpected argument \"%1\"."_s.arg(positional.at(command.arguments.size())));
    }
    Arguments arguments(std::move(values), positional);
    if (command.check) {
        if (const QString wrong = command.check(arguments); !wrong.isEmpty()) {
            return usageError(&command, wrong);
        }
    }
    return {Invocation::Kind::Run, &command, std::move(arguments), {}};
}

// Words of the text in lines of at most LineWidth columns, each after the indent; the first
// line's indent is already written by the caller.
QString wrapped(const QString& text, qsizetype indent) {
    QString out;
    qsizetype column = indent;
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    for (const QString& word : words) {
        if (column > indent && column + 1 + word.size() > LineWidth) {
            out += u'\n' + QString(indent, u' ');
            column = indent;
        } else if (column > indent) {
            out += u' ';
            ++column;
        }
        out += word;
        column += word.size();
    }
    return out;
}

QString paragraphs(const QString& text) {
    QStringList out;
    for (const QString& paragraph : text.split(u"\n\n"_s)) {
        out += wrapped(paragraph, 0);
    }
    return out.join(u"\n\n"_s);
}

// "Usage: vellumtide-cli pages ...", further forms aligned under the first.
QString synopsisLines(const Command& command) {
    QString out;
    for (const QString& synopsis : command.synopses) {
        out += (out.isEmpty() ? u"Usage: "_s : u"       "_s) + ProgramName + u' ' + synopsis + u'\n';
    }
    return out;
}

QString table(const QList<std::pair<QString, QString>>& rows) {
    qsizetype width = 0;
    for (const auto& row : rows) {
        width = std::max(width, row.first.size());
    }
    QString out;
    for (const auto& [left, right] : rows) {
        out += u"  "_s + left.leftJustified(width + 2) + wrapped(right, width + 4) + u'\n';
    }
    return out;
}

QString exampleLines(const QStringList& examples) {
    QString out;
    for (const QString& example : examples) {
        out += u"  "_s + ProgramName + u' ' + example + u'\n';
    }
    return out;
}

} // namespace

Invocation parseCommandLine(const QStringList& line, const std::vector<Command>& commands) {
    const QString program = line.value(0, ProgramName);
    const QStringList words = line.mid(1);
    if (words.isEmpty()) {
        return usageError(nullptr, u"No command given."_s);
    }
    if (HelpWords.contains(words.first())) {
        if (words.size() == 1) {
            return {Invocation::Kind::Help, nullptr, {}, {}};
        }
        const Command* command = find(commands, words.at(1));
        return command != nullptr && words.size() == 2
                   ? Invocation{Invocation::Kind::Help, command, {}, {}}
                   : usageError(nullptr, u"No help on \"%1\"."_s.arg(words.mid(1).join(u' ')));
    }
    if (words.first() == VersionWord) {
        return words.size() == 1 ? Invocation{Invocation::Kind::Version, nullptr, {}, {}}
                                 : usageError(nullptr, u"--version takes nothing after it."_s);
    }
    const Command* command = find(commands, words.first());
    if (command == nullptr) {
        return usageError(nullptr, u"Unknown command \"%1\"."_s.arg(words.first()));
    }
    return parseCommand(program, *command, words.mid(1));
}

QString programHelp(const std::vector<Command>& commands) {
    QList<std::pair<QString, QString>> commandRows;
    QStringList examples;
    for (const Command& command : commands) {
        commandRows.append({command.name, command.summary});
        examples += command.examples.value(0);
    }
    return u"Usage: %1 COMMAND [OPTIONS]\n\n"_s.arg(ProgramName) +
           paragraphs(
               u"Makes Vellumtide's pages without its window, from a terminal, a script or a scheduled "
               "job: each command sets the values a user would set in the main window and presses the "
               "same buttons."_s) +
           u"\n\nCommands:\n"_s + table(commandRows) +
           u"\nRun \"%1 COMMAND --help\" for the options of a command.\n\n"_s.arg(ProgramName) +
           paragraphs(
               u"Progress goes to standard error: a progress bar on a terminal, otherwise a line every "
               "1,000 records; --quiet leaves only the errors. Ctrl-C stops a run between two records; "
               "every file written by then is whole."_s) +
           u"\n\nExit codes:\n"_s +
           table({{u"0"_s, u"every record was made"_s},
                  {u"1"_s, u"the run finished, but records failed or a later record replaced the page of an "
                           "earlier one (the summary names each)"_s},
                  {u"2"_s, u"nothing was run: a folder is missing, the range is bad, or the command line is "
                           "wrong"_s},
                  {u"130"_s, u"stopped by Ctrl-C"_s}}) +
           u"\nOptions:\n"_s +
           table({{u"-h, --help"_s, u"Show this help."_s}, {VersionWord, u"Show the version."_s}}) +
           u"\nExamples:\n"_s + exampleLines(examples);
}

QString versionText() {
    return ProgramName + u' ' + QStringLiteral(VELLUMTIDE_VERSION) + u'\n';
}

QString commandHelp(const Command& command) {
    QList<std::pair<QString, QString>> optionRows;
    for (const Option& option : command.options) {
        optionRows.append({spelling(option), option.description});
    }
    optionRows.append({u"-h, --help"_s, u"Show this help."_s});
    return synopsisLines(command) + u'\n' + paragraphs(command.description) + u"\n\nOptions:\n"_s +
           table(optionRows) + u"\nExamples:\n"_s + exampleLines(command.examples);
}

QString usageText(const Command* command, const std::vector<Command>& commands) {
    if (command != nullptr) {
        return synopsisLines(*command) +
               u"Run \"%1 %2 --help\" for more.\n"_s.arg(ProgramName, command->name);
    }
    QStringList names;
    for (const Command& each : commands) {
        names += each.name;
    }
    return u"Usage: %1 COMMAND [OPTIONS]\nCommands: %2\nRun \"%1 --help\" for more.\n"_s.arg(
        ProgramName, names.join(u", "_s));
}

} // namespace vt::cli
