#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

// The browser that loads a PAD file by its address. Steps 3 and 4 need only these four
// operations: start a load, the ready state and busy flag to wait on, and the text the loaded
// document shows, in which a PAD file's tags stand literally and in document order.
namespace vt::platform {

enum class ReadyState { Uninitialized = 0, Loading = 1, Loaded = 2, Interactive = 3, Complete = 4 };

// What a server said identifies the version of a document it sent: its ETag and Last-Modified
// headers as received ("" when it sent none). A later load with them asks for the document only
// if it has changed since.
struct Validators {
    QString etag;
    QString lastModified;

    bool isEmpty() const { return etag.isEmpty() && lastModified.isEmpty(); }
    friend bool operator==(const Validators& a, const Validators& b) {
        return a.etag == b.etag && a.lastModified == b.lastModified;
    }
};

// The validators of an earlier load of the address, or none to load it in full.
using Conditions = std::function<Validators(const QString& address)>;

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
    // A navigation to another address loads that one alone; a later call that no longer asks for
    // them drops what was loaded ahead.
    virtual void prefetch(const QStringList& addresses) { static_cast<void>(addresses); }
    // Ends every load at once: the window closed.
    virtual void stop() {}
    // Loads started from now on give up after this long without a byte from the server, and after
    // four times as long in all.
    virtual void setNoDataWait(std::chrono::seconds wait) { static_cast<void>(wait); }
    // Each load started from now on asks for its document only if it changed since the validators
    // these give for its address (none: every load in full, as before).
    virtual void setConditions(Conditions conditions) { static_cast<void>(conditions); }
    // Whether the server answered the current load that its document has not changed since the
    // validators sent (HTTP 304): the load worked, but brought no text.
    virtual bool notModified() const { return false; }
    // The validators the server sent with the current document.
    virtual Validators validators() const { return {}; }
};

} // namespace vt::platform
