#pragma once

#include <QString>

#include <optional>

// Message boxes, the open- and save-file dialogs and a one-line text input. The windows show real ones; tests
// answer them from a script and record what was shown.
namespace vt::platform {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Exclamation };
enum class Answer { Ok, Yes, No };

// Every message box carries this title.
inline const QString ApplicationTitle = QStringLiteral("Vellumtide");

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows the text (paragraphs joined by two CR LF) and waits for the answer; with Yes and No,
    // Yes is the default.
    virtual Answer message(const QString& text, MessageButtons buttons, MessageIcon icon) = 0;

    // A message with OK whose whole account (paragraphs joined by CR LF) the user can show and save
    // as a text file. A host without such a box shows the message alone.
    virtual void report(const QString& text, MessageIcon icon, const QString& details) {
        static_cast<void>(details);
        message(text, MessageButtons::Ok, icon);
    }

    // An open-file dialog with a filter in the system's own syntax ("Text Files (*.txt) | *.txt");
    // the chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const QString& filter) = 0;

    // A save-file dialog with a filter in the same syntax: the full path the user chose to write,
    // or nothing when they cancelled. A host without file dialogs saves nothing.
    virtual std::optional<QString> saveFile(const QString& filter) {
        static_cast<void>(filter);
        return std::nullopt;
    }

    // A folder chooser with the caption: the chosen folder's full path, or nothing when the user
    // cancelled. A host without one chooses nothing.
    virtual std::optional<QString> chooseFolder(const QString& caption) {
        static_cast<void>(caption);
        return std::nullopt;
    }

    // A one-line text input that starts with the initial text: the text the user typed, or
    // nothing when they cancelled. A host without text input asks nothing, as if cancelled.
    virtual std::optional<QString> askText(const QString& prompt, const QString& initial) {
        static_cast<void>(prompt);
        static_cast<void>(initial);
        return std::nullopt;
    }
};

} // namespace vt::platform
