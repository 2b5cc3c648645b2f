#pragma once

namespace vt::cli {

// What the runner tells the script that started it.
enum class ExitCode {
    Done = 0,          // every record was made
    RecordsFailed = 1, // the run finished, but some records could not be loaded or written
    Refused = 2,       // nothing was run: a folder is missing, the range is bad, or the command line is wrong
    Interrupted = 130, // Ctrl-C stopped the run between two records (128 + SIGINT, as shells report it)
};

} // namespace vt::cli
