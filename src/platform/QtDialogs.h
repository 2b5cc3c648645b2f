#pragma once

#include "platform/Dialogs.h"

namespace vt::platform {

// Real message boxes, file dialogs and text inputs, over the window that is active.
class QtDialogs final : public Dialogs {
public:
    Answer message(const QString& text, MessageButtons buttons, MessageIcon icon) override;
    // The details open below the message; "Save Report..." writes them where the user chooses,
    // and the message stays up until OK.
    void report(const QString& text, MessageIcon icon, const QString& details) override;
    std::optional<QString> openFile(const QString& filter) override;
    std::optional<QString> saveFile(const QString& filter) override;
    std::optional<QString> chooseFolder(const QString& caption) override;
    std::optional<QString> askText(const QString& prompt, const QString& initial) override;

    // "Text Files (*.txt) | *.txt" in Qt's syntax: pairs of description and pattern, trimmed.
    static QString qtFilter(const QString& filter);
};

} // namespace vt::platform
