#pragma once

#include <QString>

namespace vt::cli {

// Standard error, shared by the messages and the progress bar: on a terminal the bar is one
// line redrawn in place, and a message first clears it so the two never mix on one line.
class Console {
public:
    Console();

    bool isTerminal() const { return m_terminal; }
    // A message on lines of its own, its control characters escaped; CR LF line breaks become
    // the host's.
    void message(const QString& text);
    // Redraws the progress bar over the previous one (terminal only).
    void bar(const QString& text);
    // Leaves the bar on its line; what follows starts on the next one.
    void endBar();

private:
    void write(const QString& text);

    bool m_terminal;
    qsizetype m_barWidth = 0; // columns the bar covers now, 0 when none is shown
};

} // namespace vt::cli
