#pragma once

#include <QElapsedTimer>

namespace vt::cli {

class Console;

// The progress of a run on standard error: on a terminal a bar with the records done, the rate
// and the time left, redrawn at most ten times a second; otherwise one line every 1,000 records,
// for logs. Silent when quiet.
class Progress {
public:
    Progress(Console& console, bool quiet);

    // A record starts: done records of total are behind.
    void update(int done, int total);
    // The run ended: after all its records when complete, else after the last one begun.
    void finish(bool complete);

    // Records behind the one begun last, and the run's total.
    int done() const { return m_done; }
    int total() const { return m_total; }

private:
    QString figures(int done) const;
    QString barLine(int done) const;

    Console& m_console;
    bool m_quiet;
    QElapsedTimer m_clock; // started at the first record
    qint64 m_drawnAt = -1;
    int m_done = 0;
    int m_total = 0;
};

} // namespace vt::cli
