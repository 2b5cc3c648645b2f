#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

#include "platform/Dialogs.h"

namespace vt::testing {

// Answers message boxes, file dialogs and text inputs from a script given in advance and records what was
// shown. A message with no scripted answer is answered Yes (or OK); a file dialog with none is
// cancelled.
class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Shown {
        QString text;
        platform::MessageButtons buttons;
        platform::MessageIcon icon;
        QString details; // a report's whole account, "" for a plain message
    };

    void report(const QString& text, platform::MessageIcon icon, const QString& details) override {
        message(text, platform::MessageButtons::Ok, icon);
        shown.back().details = details;
    }

    platform::Answer message(const QString& text, platform::MessageButtons buttons,
                             platform::MessageIcon icon) override {
        shown.push_back({text, buttons, icon, {}});
        if (onMessage) {
            onMessage();
        }
        platform::Answer answer =
            buttons == platform::MessageButtons::Ok ? platform::Answer::Ok : platform::Answer::Yes;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return answer;
    }

    std::optional<QString> openFile(const QString& filter) override {
        filters += filter;
        if (files.isEmpty()) {
            return std::nullopt;
        }
        const QString file = files.takeFirst();
        return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
    }

    std::optional<QString> saveFile(const QString& filter) override { return openFile(filter); }

    std::optional<QString> chooseFolder(const QString& caption) override {
        shown.push_back({caption, platform::MessageButtons::Ok, platform::MessageIcon::None, {}});
        if (folders.isEmpty()) {
            return std::nullopt;
        }
        return folders.takeFirst();
    }

    std::optional<QString> askText(const QString& prompt, const QString& initial) override {
        shown.push_back({prompt, platform::MessageButtons::Ok, platform::MessageIcon::None, {}});
        offered += initial;
        if (typed.isEmpty()) {
            return std::nullopt;
        }
        return typed.takeFirst();
    }

    QStringList texts() const {
        QStringList all;
        for (const Shown& message : shown) {
            all += message.text;
        }
        return all;
    }

    std::deque<platform::Answer> answers;
    QStringList files;               // chosen files in turn, to open or save; "": the user cancels
    QStringList folders;             // folders chosen in turn; none left: cancelled
    QStringList typed;               // texts typed in turn into text inputs; none left: cancelled
    QStringList offered;             // the text each text input started with
    std::function<void()> onMessage; // runs while a message is up, as a user could act then
    std::vector<Shown> shown;
    QStringList filters;
};

} // namespace vt::testing
