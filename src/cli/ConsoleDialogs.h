#pragma once

#include "platform/Dialogs.h"

namespace vt::cli {

class Console;

// The dialogs of a run without a window: every message goes to standard error, every question
// is answered Yes (and shown with its answer unless quiet), and the open-file dialog picks the
// file given on the command line.
class ConsoleDialogs final : public platform::Dialogs {
public:
    ConsoleDialogs(Console& console, bool quiet, QString chosenFile);

    platform::Answer message(const QString& text, platform::MessageButtons buttons,
                             platform::MessageIcon icon) override;
    std::optional<QString> openFile(const QString& filter) override;

private:
    Console& m_console;
    bool m_quiet;
    QString m_chosenFile; // "" when the command names none: the dialog is cancelled
};

} // namespace vt::cli
