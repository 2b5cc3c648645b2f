#pragma once

#include "files/Outcome.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "check/Findings.h"

namespace vt::platform {
class Browser;
}

// The PAD check over the records a batch would make, read from where the batch reads them:
// a folder of PAD text files (as text-file mode or the category run), or a list of PAD file URLs
// loaded through the browser (as URL mode, with its loads ahead). Nothing is written.
namespace vt::check {

struct CheckRun {
    std::vector<Finding> findings;
    int records = 0;      // records the run covers
    int checked = 0;      // of them, checked before the run stopped
    bool stopped = false; // goesOn said stop
};

// What a run asks of its host: a record starts (done of total are behind); and, before each
// record and between the rounds of a load, whether to go on (the host handles its events then).
struct CheckHooks {
    std::function<void(int done, int total)> progress = [](int, int) {
    };
    std::function<bool()> goesOn = [] {
        return true;
    };
};

struct TextFolderCheck {
    QString folder;
    std::optional<int> rangeEnd; // the last record; by default the folder's last file
    bool byCategory = false;     // pages filed by category, as the category run files them
};

// Refused, with the reason, when the folder cannot be listed or holds no file.
Result<CheckRun> CheckTextFolder(const TextFolderCheck& source, const CheckHooks& hooks);

struct UrlListCheck {
    QString listFile;
    int startRecord = 0;
    std::optional<int> rangeEnd; // the passes of the run; by default the number of entries
    bool allowLocalFiles = false;
};

// Refused, with the reason, when the list cannot be read or holds no URL.
Result<CheckRun> CheckUrlList(const UrlListCheck& source, platform::Browser& browser,
                              const CheckHooks& hooks);

} // namespace vt::check
