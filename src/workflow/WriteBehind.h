#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "pagegen/RecordSteps.h"
#include "platform/FileSystem.h"

namespace vt::workflow {

// Text-file mode writes its pages on a thread of its own while it makes the next ones, and that
// thread reads the PAD texts of the records ahead into the text cache (files::readTextAhead)
// meanwhile. Pages are written one at a time in the order they were handed over, and their
// outcomes come back in that order. A caller that has to wait for the thread reads texts ahead in
// its stead meanwhile. The thread is woken for a handful of pages at a time, not for each, so that
// the two threads do not take turns at every record.
class WriteBehind {
public:
    WriteBehind() = default;
    // Writes what was handed over, then ends the thread.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // The PAD texts of the run's records in order, to read ahead of the record being made.
    void readAheadOf(QStringList texts);
    // Hands over the page of the record at `record` (its place among the texts); waits while too
    // many pages are still to be written.
    void start(pagegen::PageFile page, int record);
    // The outcomes of the pages written since the last call, in the order they were handed over.
    std::deque<Result<platform::FileWrite>> written();
    // Waits until every page handed over is written; written() then gives every outcome.
    void wait();

private:
    void work();
    bool hasWork() const;
    bool hasTextsToRead();
    // Reads the next text ahead, the lock let go meanwhile.
    void readNextText(std::unique_lock<std::mutex>& lock);

    std::mutex m_mutex;
    std::condition_variable m_workerWakes;
    std::condition_variable m_callerWakes;
    std::deque<pagegen::PageFile> m_pages; // handed over, not yet written
    std::deque<Result<platform::FileWrite>> m_outcomes;
    QStringList m_texts;
    int m_record = -1;      // the record of the page handed over last, which the caller has reached
    int m_readTo = 0;       // the texts before this one were read ahead
    bool m_waiting = false; // the caller waits for every page to be written
    bool m_ending = false;
    std::thread m_thread; // started with the first page
};

} // namespace vt::workflow
