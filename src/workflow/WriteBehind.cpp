#include "workflow/WriteBehind.h"

#include <algorithm>

#include "files/TextFile.h"

namespace vt::workflow {
namespace {

// The thread is woken once this many pages wait, or when the caller waits for all of them.
constexpr std::size_t WakeAtPages = 16;
// The caller waits once this many pages are not yet written, until half of them are.
constexpr std::size_t MostPages = 64;
// How far ahead of the record being made its PAD texts are read: further than the pages the
// thread may be behind, so a text is read before its record is made.
constexpr int TextsAhead = int(MostPages) + 2 * int(WakeAtPages);

} // namespace

WriteBehind::~WriteBehind() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_workerWakes.notify_all();
    m_thread.join();
}

void WriteBehind::readAheadOf(QStringList texts) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_texts = std::move(texts);
    m_readTo = 0;
}

void WriteBehind::start(pagegen::PageFile page, int record) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_record = record;
    // While too many pages wait, the caller reads the texts ahead in the thread's stead, so that
    // neither idles while the other has work.
    while (m_pages.size() >= MostPages && hasTextsToRead()) {
        readNextText(lock);
    }
    m_callerWakes.wait(lock, [this] { return m_pages.size() < MostPages; });
    m_pages.push_back(std::move(page));
    if (!m_thread.joinable()) {
        m_thread = std::thread([this] { work(); });
    }
    if (m_pages.size() == WakeAtPages) {
        lock.unlock();
        m_workerWakes.notify_one();
    }
}

std::deque<Result<platform::FileWrite>> WriteBehind::written() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_outcomes, {});
}

void WriteBehind::wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_waiting = true;
    m_workerWakes.notify_one();
    m_callerWakes.wait(lock, [this] { return m_pages.empty(); });
    m_waiting = false;
}

bool WriteBehind::hasWork() const {
    return m_pages.size() >= WakeAtPages || (m_waiting && !m_pages.empty()) || m_ending;
}

bool WriteBehind::hasTextsToRead() {
    // A text whose record the caller has reached is passed over: the caller reads that one itself.
    m_readTo = std::max(m_readTo, m_record + 1);
    return m_readTo < std::min<int>(m_record + TextsAhead, int(m_texts.size()));
}

void WriteBehind::readNextText(std::unique_lock<std::mutex>& lock) {
    const QString text = m_texts.at(m_readTo++);
    lock.unlock();
    files::readTextAhead(text);
    lock.lock();
}

void WriteBehind::work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_workerWakes.wait(lock, [this] { return hasWork(); });
        if (m_pages.empty()) {
            return;
        }
        // A page, then a text ahead, in turn, until every page is written and the texts are read
        // as far ahead as they go.
        for (bool pages = true, texts = true; pages || texts;) {
            pages = !m_pages.empty();
            if (pages) {
                const pagegen::PageFile page = m_pages.front();
                lock.unlock();
                Result<platform::FileWrite> outcome = pagegen::WritePageFile(page);
                lock.lock();
                m_outcomes.push_back(std::move(outcome));
                m_pages.pop_front();
                if (m_pages.size() == MostPages / 2 || m_pages.empty()) {
                    m_callerWakes.notify_all();
                }
            }
            texts = hasTextsToRead();
            if (texts) {
                readNextText(lock);
            }
        }
    }
}

} // namespace vt::workflow
