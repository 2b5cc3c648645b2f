#include "cli/Console.h"

#include <cstdio>

#include <unistd.h>

#include "files/ShownText.h"

namespace vt::cli {

using namespace Qt::StringLiterals;

Console::Console()
    : m_terminal(isatty(fileno(stderr)) == 1) {}

void Console::message(const QString& text) {
    if (m_barWidth > 0) {
        write(u'\r' + QString(m_barWidth, u' ') + u'\r');
        m_barWidth = 0;
    }
    QString lines = files::shownText(text);
    lines.replace(u"\r\n"_s, u"\n"_s);
    write(lines + u'\n');
}

void Console::bar(const QString& text) {
    // A shorter bar than the last one must blank the columns the last one left.
    write(u'\r' + text.leftJustified(m_barWidth));
    m_barWidth = text.size();
}

void Console::endBar() {
    if (m_barWidth > 0) {
        write(u"\n"_s);
        m_barWidth = 0;
    }
}

void Console::write(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace vt::cli
