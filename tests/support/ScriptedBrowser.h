#pragma once

#include <QString>
#include <QStringList>

#include "platform/Browser.h"

namespace vt::testing {

// A browser whose documents are given by the test: navigate() shows the text kept for the
// address at once, and records the addresses visited.
class ScriptedBrowser final : public platform::Browser {
public:
    void navigate(const QString& address) override {
        visited += address;
        m_text = pages.value(address);
        m_failure = pages.contains(address) ? QString() : QStringLiteral("no page at ") + address;
        m_state = platform::ReadyState::Complete;
    }
    platform::ReadyState readyState() const override { return m_state; }
    bool busy() const override { return false; }
    QString bodyText() const override { return m_text; }
    QString failure() const override { return m_failure; }

    QHash<QString, QString> pages;
    QStringList visited;

private:
    QString m_text;
    QString m_failure;
    platform::ReadyState m_state = platform::ReadyState::Uninitialized;
};

} // namespace vt::testing
