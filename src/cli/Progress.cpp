#include "cli/Progress.h"

#include <QString>

#include "cli/Console.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

// Logs get a line per this many records.
constexpr int LogEvery = 1000;
// A terminal bar is redrawn at most this often, so drawing never slows a fast run.
constexpr qint64 RedrawMs = 100;
constexpr int BarCells = 24;

QString duration(qint64 seconds) {
    const qint64 hours = seconds / 3600;
    const QString minutesAndSeconds = u"%1:%2"_s.arg(seconds / 60 % 60, hours > 0 ? 2 : 1, 10, QChar(u'0'))
                                          .arg(seconds % 60, 2, 10, QChar(u'0'));
    return hours > 0 ? u"%1:%2"_s.arg(hours).arg(minutesAndSeconds) : minutesAndSeconds;
}

} // namespace

Progress::Progress(Console& console, bool quiet)
    : m_console(console)
    , m_quiet(quiet) {}

void Progress::update(int done, int total) {
    if (!m_clock.isValid()) {
        m_clock.start();
    }
    m_done = done;
    m_total = total;
    if (m_quiet) {
        return;
    }
    if (!m_console.isTerminal()) {
        if (done > 0 && done % LogEvery == 0) {
            m_console.message(figures(done));
        }
        return;
    }
    const qint64 now = m_clock.elapsed();
    if (m_drawnAt < 0 || now - m_drawnAt >= RedrawMs) {
        m_console.bar(barLine(done));
        m_drawnAt = now;
    }
}

void Progress::finish(bool complete) {
    if (m_quiet || !m_clock.isValid()) {
        return;
    }
    const int done = complete ? m_total : m_done;
    if (m_console.isTerminal()) {
        m_console.bar(barLine(done));
        m_console.endBar();
    } else {
        m_console.message(figures(done));
    }
}

// "1000/30000 records, 812 per second, 0:35 left"
QString Progress::figures(int done) const {
    const double seconds = m_clock.elapsed() / 1000.0;
    QString line = u"%1/%2 records"_s.arg(done).arg(m_total);
    if (done == 0 || seconds <= 0) {
        return line;
    }
    const double rate = done / seconds;
    line += u", %1 per second"_s.arg(qRound64(rate));
    return done < m_total ? line + u", %1 left"_s.arg(duration(qRound64((m_total - done) / rate)))
                          : line + u", %1 in all"_s.arg(duration(qRound64(seconds)));
}

// "[##########--------------] 1000/30000 records, 812 per second, 0:35 left"
QString Progress::barLine(int done) const {
    const int filled = m_total > 0 ? int(qint64(done) * BarCells / m_total) : BarCells;
    return u'[' + QString(filled, u'#') + QString(BarCells - filled, u'-') + u"] "_s + figures(done);
}

} // namespace vt::cli
