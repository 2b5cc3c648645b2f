#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The 8-bit code page of every text file the system reads or writes.
namespace vt::files {

// Every byte maps to one character, so any file reads and writes back unchanged.
QString decodeWindows1252(QByteArrayView bytes);

// A character the code page lacks is written as a decimal character reference
// ("&#8364;" style) so that pages and PAD text files keep it instead of losing it.
QByteArray encodeWindows1252(QStringView text);

} // namespace vt::files
