#pragma once

#include <QString>
#include <QStringList>

// The browser that loads a PAD file by its address. Steps 3 and 4 need only these four
// operations: start a load, the ready state and busy flag to wait on, and the text the loaded
// document shows, in which a PAD file's tags stand literally and in document order.
namespace vt::platform {

enum class ReadyState { Uninitialized = 0, Loading = 1, Loaded = 2, Interactive = 3, Complete = 4 };

class Browser {
public:
    virtual ~Browser() = default;

    // Starts loading the address and returns at once.
    virtual void navigate(const QString& address) = 0;
    virtual ReadyState readyState() const = 0;
    virtual bool busy() const = 0;
    // The text of the current document: a PAD file's text with every tag literal, an HTML
    // page's visible text, or a message of our own when the load failed.
    virtual QString bodyText() const = 0;
    // Why the last load failed, or "" when it did not (or none was made).
    virtual QString failure() const = 0;
    // The addresses the next navigations will ask for, in order: a browser may load them ahead.
    // A navigation to another address drops what it loaded ahead.
    virtual void prefetch(const QStringList& addresses) { static_cast<void>(addresses); }
    // Ends every load at once: the window closed.
    virtual void stop() {}
};

} // namespace vt::platform
