#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace vt::platform {
class Browser;
}

// Where Steps 3 and 4 take a record's PAD text from, as plain operations: the batch and the PAD
// check read records through these, so both give the same text and the same reasons.
namespace vt::workflow {

// Record numbers that index the list are 16-bit elsewhere, so the cap keeps every entry reachable.
inline constexpr qsizetype MaxUrlEntries = 30000;

// Step 1's read of a URL list: its first MaxUrlEntries entries, one per line, where a lone LF
// ends a line too.
Result<QStringList> ReadUrlList(const QString& listFile);

// The record counter as the 16-bit number Step 3 loads, or why it is none.
Result<std::int16_t> UrlListRecord(const QString& recordCounter);

// What Step 3 loads for a record of the URL list. A record past either end of the list has no
// address (an empty document, no request); so has an entry refused by what a list may load.
struct RecordAddress {
    QString address;
    QString refusal; // why the entry is not loaded; "" when it is, or when there is none
};
RecordAddress AddressOfRecord(const QStringList& urlList, std::int16_t record, bool allowLocalFiles);

// Navigates to the address and waits, calling goesOn between rounds, until the browser is idle.
// The load's failure; when goesOn says stop, the wait ends with a failure of its own.
Status LoadAddress(platform::Browser& browser, const QString& address, const std::function<bool()>& goesOn);

// Step 4 in the text-file and category modes: the text of the file the record counter numbers
// in the folder's listing.
Result<QString> ReadListedPadText(const QString& folder, const QStringList& names,
                                  const QString& recordCounter);

} // namespace vt::workflow
