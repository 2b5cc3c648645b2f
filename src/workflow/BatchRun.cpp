// The batch (Command6): the steps pressed record by record over the range, in one of four modes.
#include "workflow/Workflow.h"

#include <QFileInfo>
#include <QScopeGuard>

#include "fetch/Recipe.h"
#include "files/AllFiles.h"
#include "files/OneLook.h"
#include "files/SafePath.h"
#include "files/ShownText.h"
#include "pagegen/PageWriter.h"
#include "platform/ControlNumbers.h"
#include "platform/Dialogs.h"
#include "workflow/RecordSources.h"

namespace vt::workflow {
namespace {

using namespace Qt::StringLiterals;
using platform::MessageButtons;
using platform::MessageIcon;

const QString ListDoneMessage =
    QStringLiteral("All %1 records of the list were made; import a list or set the start record");
const QString NoListMessage = QStringLiteral("You haven't imported a list of PAD files. Do step 1: first.");
const QString BadRangeMessage = QStringLiteral(
    "\"%1\" in \"Range = 0 to\" is not a whole number from 0 to 32,767.\r\n\r\nNo record was processed.");
const QString TooManyFilesMessage = QStringLiteral("The folder \"%1\" holds %2 files; one run makes pages "
                                                   "from at most 32,768.\r\n\r\nNo record was processed.");
const QString UnreadableFolderMessage = QStringLiteral("%1\r\n\r\nNo record was processed.");
const QString Paragraph = QStringLiteral("\r\n\r\n");
const QString FullFetchMessage = QStringLiteral(
    "Every PAD file of this run is fetched in full, as no state of an earlier run can be used: %1.");
const QString StateNotWrittenMessage = QStringLiteral(
    "What this run fetched could not be kept, so the next run fetches every PAD file in full: %1");
const QString StateNotRemovedMessage = QStringLiteral(
    "The state of an earlier run that fetched only changed PAD files could not be removed, so this run "
    "was not started: %1");
const QString CountsMessage = QStringLiteral("%1 written, %2 unchanged, %3 failed.");
const QString StoppedMessage =
    QStringLiteral("Stopped after %1 of %2 records; every file written up to then is whole.");
const QString FailedMessage = QStringLiteral("%1 of %2 records could not be loaded or written.");
const QString ReplacedMessage =
    QStringLiteral("Pages replaced by the page of a later record with the same file name: %1.");
const QString ReplacedLine = QStringLiteral("Record %1 replaced the page of record %2: %3");
const QString MoreLines = QStringLiteral("... and %1 more");
const QString OneNotTriedMessage =
    QStringLiteral("Record %1 after record %2 was not tried: a PAD text file that could not be written keeps "
                   "the record number, so its record was tried again in its place.");
const QString NotTriedMessage =
    QStringLiteral("The %1 records after record %2 (%3 to %4) were not tried: a PAD text file that could not "
                   "be written keeps the record number, so its record was tried again in their place.");

// The first `named` lines (all when negative), and how many more there are.
QString namedLines(const QStringList& lines, qsizetype named) {
    if (named < 0 || lines.size() <= named) {
        return lines.join(QStringLiteral("\r\n"));
    }
    return (lines.mid(0, named) + QStringList{MoreLines.arg(lines.size() - named)})
        .join(QStringLiteral("\r\n"));
}

enum class Mode { TextStore, TextFile, Url };

} // namespace

// The failures of one run: each record counted and named once, with its first reason.
class Workflow::BatchLog {
public:
    explicit BatchLog(const bool& stopping)
        : m_stopping(stopping) {}

    // A pass on the record that has just failed (its counter stayed) is no new record.
    void startRecord(const QString& record) {
        ++m_passes;
        if (record == m_record && m_recordFailed) {
            return;
        }
        m_record = record;
        m_recordFailed = false;
        ++m_summary.records;
    }
    // "Make txt" keeps the counter when it fails, so the passes after a failed record work on it
    // again and the records after it are never reached: say which.
    void noteRecordsNotTried() {
        const int notTried = m_passes - m_summary.records;
        const std::optional<std::int32_t> last = platform::toInt32(m_record.section(u' ', 0, 0));
        if (notTried == 1 && last) {
            m_summary.notes += OneNotTriedMessage.arg(*last + 1).arg(*last);
        } else if (notTried > 1 && last) {
            m_summary.notes += NotTriedMessage.arg(notTried).arg(*last).arg(*last + 1).arg(*last + notTried);
        }
    }
    // The run is at a record: how many of its records are behind, of how many.
    void reach(int done, int total) {
        m_summary.done = done;
        m_summary.total = total;
    }
    // The run ended: every record is behind, or it stopped where it was.
    void end(bool stopped) {
        m_summary.stopped = stopped;
        if (!stopped) {
            m_summary.done = m_summary.total;
        }
    }
    // Notes the failure of a step; the step's outcome again. A step that ended because the run
    // stopped is no failure of its record, which the run never finished.
    const Status& note(const Status& status) {
        if (!status.ok() && !m_recordFailed && !m_stopping) {
            m_recordFailed = true;
            ++m_summary.failed;
            m_summary.failures += QStringLiteral("Record %1: %2").arg(m_record, status.message());
        }
        return status;
    }
    // Notes the outcome of a step that writes a file; what it did to the file when it worked.
    std::optional<platform::FileWrite> noteWrite(const Result<platform::FileWrite>& write) {
        return note(write.status()).ok() ? std::optional(write.value()) : std::nullopt;
    }
    void count(platform::FileWrite effect) {
        ++(effect == platform::FileWrite::Unchanged ? m_summary.unchanged : m_summary.written);
    }
    void replaced(const QString& record, const QString& earlierRecord, const QString& page) {
        m_summary.replaced += ReplacedLine.arg(record, earlierRecord, page);
    }
    // A page whose write goes on while the next records are made: the record it is of, and where
    // its failure stands among the others.
    HeldWrite holdWrite(const QString& page) const {
        return {page, m_record, m_recordFailed, m_summary.failures.size() - m_heldFailures};
    }
    // Notes the outcome of a held write in its record's place; what it did to the file when it
    // worked. A write that began before a stop is a failure of its record all the same.
    std::optional<platform::FileWrite> noteHeldWrite(const HeldWrite& held,
                                                     const Result<platform::FileWrite>& write) {
        if (write) {
            return write.value();
        }
        if (!held.recordFailed) {
            // After the failures noted before the page was held, and those of held pages before
            // it, all of records up to its own.
            ++m_summary.failed;
            m_summary.failures.insert(held.failuresAt + m_heldFailures++,
                                      QStringLiteral("Record %1: %2").arg(held.record, write.message()));
        }
        return std::nullopt;
    }
    void addNote(const QString& note) { m_summary.notes += note; }
    const QString& record() const { return m_record; }
    bool recordFailed() const { return m_recordFailed; }
    void refuse() { m_summary.refused = true; }
    const BatchSummary& summary() const { return m_summary; }

private:
    const bool& m_stopping;
    BatchSummary m_summary;
    int m_passes = 0;
    QString m_record;
    bool m_recordFailed = false;
    qsizetype m_heldFailures = 0;
};

bool Workflow::beginRun() {
    if (m_running || m_shutDown) {
        return false;
    }
    m_running = true;
    m_stopRequested = false;
    m_pageWriters.clear();
    emit changed();
    return true;
}

void Workflow::endRun() {
    m_running = false;
    m_stopRequested = false;
    emit changed();
}

QString Workflow::summaryText(const BatchSummary& summary, qsizetype named) {
    QStringList paragraphs;
    if (summary.stopped) {
        paragraphs += StoppedMessage.arg(summary.done).arg(summary.total);
    }
    paragraphs += CountsMessage.arg(summary.written).arg(summary.unchanged).arg(summary.failed);
    if (summary.failed > 0) {
        paragraphs += FailedMessage.arg(summary.failed).arg(summary.records);
        paragraphs += namedLines(summary.failures, named);
    }
    paragraphs += summary.notes;
    if (!summary.replaced.isEmpty()) {
        paragraphs += ReplacedMessage.arg(summary.replaced.size());
        paragraphs += namedLines(summary.replaced, named);
    }
    return paragraphs.join(Paragraph);
}

// Two records of one run that make the same page file: the later page stands, as stored sites
// expect, and the summary names both. A record that writes its own page again (the passes past
// the range end) replaces nothing of another record's. A page is unchanged only when it held its
// bytes before the run: one that this run already wrote counts once, as written.
void Workflow::notePageWritten(BatchLog& log, platform::FileWrite effect) {
    const std::optional<QString> category =
        m_check3 == 1 ? std::optional<QString>(m_record.currentCategory) : std::nullopt;
    const Result<QString> page =
        pagegen::PagePath(m_record.storageFolder, m_record.currentProgramName, category);
    if (page) {
        notePage(log, log.record(), page.value(), effect);
    }
}

void Workflow::notePage(BatchLog& log, const QString& record, const QString& page,
                        platform::FileWrite effect) {
    const std::pair<QString, QString> writer{m_padTextFolder, record};
    const auto earlier = m_pageWriters.constFind(page);
    if (earlier == m_pageWriters.cend()) {
        log.count(effect);
    } else if (*earlier != writer) {
        log.replaced(writer.second, earlier->second, page.mid(m_record.storageFolder.size() + 1));
    }
    m_pageWriters.insert(page, writer);
}

// A record as its messages name it: its number, and the PAD text file it is read from or the
// address it is loaded from, so that a user fixes the right file.
QString Workflow::namedRecord(const QString& address) const {
    QString source = address;
    if (m_check2 == 1) {
        const Result<QStringList> names = files::AllFiles(m_padTextFolder);
        const std::optional<std::int32_t> record = platform::toInt32(m_record.recordCounter);
        source = names && record ? names.value().value(*record) : QString();
    }
    return source.isEmpty() ? m_record.recordCounter
                            : QStringLiteral("%1 (%2)").arg(m_record.recordCounter, files::shownText(source));
}

QString Workflow::recordAddress() const {
    const Result<std::int16_t> record = UrlListRecord(m_record.recordCounter);
    return record ? AddressOfRecord(m_urlList, record.value(), m_allowLocalFiles).address.trimmed()
                  : QString();
}

void Workflow::beginFetchState(bool textStore) {
    const QString recipe =
        textStore     ? fetch::TextsRecipe()
        : m_pageTheme ? fetch::PagesRecipe(m_pageTheme->recipe, QString(), false)
                      : fetch::PagesRecipe(m_templates.backupTemplate, m_templates.adBlock, m_escapeMarkup);
    Result<fetch::FetchState> kept = fetch::FetchState::Read(m_record.storageFolder, recipe);
    if (kept) {
        m_fetchState = std::move(kept).value();
    } else {
        // No state, or none to trust: this run fetches everything, and keeps a new state.
        const QString state = files::displayPath(m_record.storageFolder, platform::FetchStateFileName);
        const bool exists = platform::StampOf(state).has_value() || platform::IsLink(state);
        m_dialogs.message(FullFetchMessage.arg(kept.message()), MessageButtons::Ok,
                          exists ? MessageIcon::Exclamation : MessageIcon::Information);
        m_fetchState.emplace(m_record.storageFolder, recipe);
    }
    m_browser.setConditions([this](const QString& address) {
        return m_fetchState ? m_fetchState->conditionsFor(address) : platform::Validators();
    });
}

// Kept after a stop too: it names only files that are whole on disk.
void Workflow::endFetchState() {
    m_browser.setConditions({});
    if (const Status written = m_fetchState->write(); !written && !m_shutDown) {
        m_dialogs.message(StateNotWrittenMessage.arg(written.message()), MessageButtons::Ok,
                          MessageIcon::Exclamation);
    }
    m_fetchState.reset();
}

// A run that fetches everything changes files that a state kept in the folder names: no later run
// may trust it.
bool Workflow::dropFetchState() {
    // A state file that is a link is never read, so it is left alone.
    const QString state = files::displayPath(m_record.storageFolder, platform::FetchStateFileName);
    const Status removed = platform::IsLink(state) ? Status::success() : platform::RemoveFile(state);
    if (!removed) {
        m_dialogs.message(StateNotRemovedMessage.arg(removed.message()), MessageButtons::Ok,
                          MessageIcon::Exclamation);
    }
    return removed.ok();
}

bool Workflow::keepUnchangedRecord(BatchLog& log, const QString& address, bool textStore, bool& loaded) {
    const QString required = textStore ? m_record.recordCounter + u".txt"_s : QString();
    if (const std::optional<QString> file =
            m_fetchState->keepUnchanged(address, m_browser.validators(), required)) {
        if (textStore) {
            log.count(platform::FileWrite::Unchanged);
            m_record.recordCounter = pagegen::NextRecord(m_record.recordCounter);
        } else {
            notePage(log, log.record(), files::displayPath(m_record.storageFolder, *file),
                     platform::FileWrite::Unchanged);
            m_record.recordCounter = pagegen::RecordAfterPage(m_record.recordCounter, m_record.lastRecord);
        }
        emit changed();
        return true;
    }
    // The file is no longer the one this URL made (edited, replaced, reordered, cut by a power
    // loss): its PAD text is loaded again in full.
    m_fetchState->forget(address);
    loaded = log.note(pressStep3()).ok();
    return false;
}

void Workflow::rememberFetch(const BatchLog& log, const QString& address, const QString& file) {
    if (!m_fetchState) {
        return;
    }
    if (log.recordFailed()) {
        m_fetchState->failed(address);
    } else {
        m_fetchState->made(address, m_browser.validators(), file);
    }
}

void Workflow::pressCommand6() {
    if (!beginRun()) {
        return;
    }
    if (!readPageTheme()) {
        endRun();
        return;
    }
    BatchSummary summary = runBatch();
    if (!summary.refused && m_check3 != 1) {
        copyThemeFiles(summary, m_record.storageFolder);
    }
    endRun();
    if (summary.worthTelling() && !m_shutDown) {
        reportSummary(summary);
    }
}

void Workflow::reportSummary(const BatchSummary& summary) {
    const MessageIcon icon = summary.allMade() ? MessageIcon::Information : MessageIcon::Exclamation;
    const QString text = summaryText(summary, m_namedInSummary);
    // Where the message names only a few, the whole list is behind it.
    const bool cut = m_namedInSummary >= 0 && (!summary.failures.isEmpty() || !summary.replaced.isEmpty());
    if (cut) {
        m_dialogs.report(text, icon, summaryText(summary, -1));
    } else {
        m_dialogs.message(text, MessageButtons::Ok, icon);
    }
}

BatchSummary Workflow::runBatch() {
    BatchLog log(m_stopRequested);
    if (m_check3 == 1) {
        runCategoryPasses(log);
    } else if (startsBatch()) {
        runPasses(log);
        m_writeBehind.wait();
        noteWrittenBehind(log, m_writeBehind.written());
        if (m_check1 == 1) {
            log.noteRecordsNotTried();
        }
    } else {
        log.refuse();
    }
    log.end(m_stopRequested);
    if (const Status durable = platform::SyncWrittenFolders(); !durable) {
        log.addNote(durable.message());
    }
    return log.summary();
}

bool Workflow::readPageTheme() {
    if (!m_pageThemeSource) {
        return true;
    }
    Result<std::optional<pagegen::PageTheme>> theme = m_pageThemeSource();
    if (!theme) {
        m_dialogs.message(theme.message(), MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    setPageTheme(std::move(theme).value());
    return true;
}

void Workflow::copyThemeFiles(BatchSummary& summary, const QString& folder) const {
    if (m_pageTheme && m_pageTheme->copyFiles && platform::FolderExists(folder)) {
        summary.notes += m_pageTheme->copyFiles(folder);
    }
}

bool Workflow::startsBatch() {
    if (m_record.storageFolder.isEmpty()) {
        m_dialogs.message(NoStorageFolderMessage, MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    if (m_check2 != 1 && m_urlList.isEmpty()) {
        m_dialogs.message(NoListMessage, MessageButtons::Ok, MessageIcon::Information);
        return false;
    }
    return true;
}

void Workflow::runPasses(BatchLog& log) {
    const std::optional<std::int16_t> rangeEnd = platform::toInt16(m_record.lastRecord);
    if (!rangeEnd || *rangeEnd < 0) {
        m_dialogs.message(BadRangeMessage.arg(m_record.lastRecord), MessageButtons::Ok,
                          MessageIcon::Exclamation);
        log.refuse();
        return;
    }
    const Mode mode = m_check1 == 1 ? Mode::TextStore : m_check2 == 1 ? Mode::TextFile : Mode::Url;
    // A second press after a run over the whole list would only run the records past its end.
    const std::optional<std::int16_t> counter = platform::toInt16(m_record.recordCounter);
    if (mode != Mode::TextFile && counter && *counter >= m_urlList.size()) {
        m_dialogs.message(ListDoneMessage.arg(m_urlList.size()), MessageButtons::Ok,
                          MessageIcon::Information);
        log.refuse();
        return;
    }
    if (m_fetchOnlyChanged && mode != Mode::TextFile) {
        beginFetchState(mode == Mode::TextStore);
    } else if (!dropFetchState()) {
        log.refuse();
        return;
    }
    const auto keepFetchState = qScopeGuard([this] {
        if (m_fetchState) {
            endFetchState();
        }
    });
    // URL and text-store passes count 1 to N and leave the record number to the steps; text-file
    // passes are the record numbers 0 to N themselves.
    const int first = mode == Mode::TextFile ? 0 : 1;
    const int total = *rangeEnd + 1 - first;
    m_toldRecords.clear();
    if (mode == Mode::TextFile) {
        readTextsAhead();
    }
    for (int pass = first; pass <= *rangeEnd; ++pass) {
        // A text-file record's steps list the PAD text folder and read its text more than once:
        // they all see the folder and the text as its first look found them.
        std::optional<files::OneLook> look;
        if (mode == Mode::TextFile) {
            look.emplace();
        }
        log.reach(pass - first, total);
        emit batchProgress(pass - first, total);
        if (mode == Mode::TextFile) {
            setRecordCounter(QString::number(pass));
        }
        const QString address = mode == Mode::TextFile ? QString() : recordAddress();
        log.startRecord(namedRecord(address));
        if (mode != Mode::TextFile) {
            if (!yieldGoesOn()) {
                return;
            }
            prefetchPasses(*rangeEnd + 1 - pass, mode == Mode::Url);
            bool loaded = log.note(pressStep3()).ok();
            if (m_fetchState && m_browser.notModified() &&
                keepUnchangedRecord(log, address, mode == Mode::TextStore, loaded)) {
                continue;
            }
            if (mode == Mode::TextStore && !loaded) {
                // A PAD file that could not be loaded stores nothing: what an earlier run stored
                // under this number stays, and the next record takes the next number.
                rememberFetch(log, address, QString());
                setRecordCounter(pagegen::NextRecord(m_record.recordCounter));
                continue;
            }
        }
        if (!yieldGoesOn()) {
            return;
        }
        // A PAD text file that cannot be read leaves the previous record's text in the box: Steps
        // 5 and 6 would make that record's page again, from a cut text, over the good one.
        if (!log.note(pressStep4()).ok() && mode == Mode::TextFile) {
            continue;
        }
        if (!yieldGoesOn()) {
            return;
        }
        if (mode == Mode::TextStore) {
            const QString file = m_record.recordCounter + u".txt"_s;
            if (const std::optional<platform::FileWrite> effect = log.noteWrite(pressMakeTxt())) {
                log.count(*effect);
            }
            rememberFetch(log, address, file);
            continue;
        }
        log.note(pressStep5());
        if (!yieldGoesOn()) {
            return;
        }
        if (mode == Mode::TextFile) {
            writePageBehind(log, pass);
            continue;
        }
        if (const std::optional<platform::FileWrite> effect = log.noteWrite(pressStep6())) {
            notePageWritten(log, *effect);
        }
        rememberFetch(log, address, m_record.currentProgramName + u".html"_s);
    }
}

// Step 6 of text-file mode: the page is handed to the second thread to write while the next
// records' pages are made; the outcomes of the pages written meanwhile are noted.
void Workflow::writePageBehind(BatchLog& log, int record) {
    Result<pagegen::PageFile> page = pagegen::PreparePage(m_record, m_templates);
    emit changed();
    noteWrittenBehind(log, m_writeBehind.written());
    if (!log.note(page.status()).ok()) {
        return;
    }
    m_heldWrites.push_back(log.holdWrite(page.value().path));
    m_writeBehind.start(std::move(page).value(), record);
}

// The second thread reads the PAD texts ahead as the folder lists them now; a text that changes,
// or a listing that does, is read again at its record.
void Workflow::readTextsAhead() {
    QStringList texts;
    if (const Result<QStringList> names = files::AllFiles(m_padTextFolder); names) {
        texts.reserve(names.value().size());
        for (const QString& name : names.value()) {
            // An empty folder lists one empty name, which names no text.
            if (!name.isEmpty()) {
                texts += files::displayPath(m_padTextFolder, name);
            }
        }
    }
    m_writeBehind.readAheadOf(std::move(texts));
}

void Workflow::noteWrittenBehind(BatchLog& log, std::deque<Result<platform::FileWrite>> outcomes) {
    for (const Result<platform::FileWrite>& written : outcomes) {
        const HeldWrite held = m_heldWrites.front();
        m_heldWrites.pop_front();
        if (const std::optional<platform::FileWrite> effect = log.noteHeldWrite(held, written)) {
            notePage(log, held.record, held.page, *effect);
        }
    }
}

// Category mode makes a page from every file of the PAD text folder, into the folder of its
// category. A file whose text cannot be read is noted and passed over.
void Workflow::runCategoryPasses(BatchLog& log) {
    const Result<QStringList> names = files::AllFiles(m_padTextFolder);
    if (!names) {
        m_dialogs.message(UnreadableFolderMessage.arg(names.message()), MessageButtons::Ok,
                          MessageIcon::Exclamation);
        log.refuse();
        return;
    }
    const qsizetype upperBound = names.value().size() - 1;
    if (upperBound > std::numeric_limits<std::int16_t>::max()) {
        m_dialogs.message(TooManyFilesMessage.arg(m_padTextFolder).arg(names.value().size()),
                          MessageButtons::Ok, MessageIcon::Exclamation);
        log.refuse();
        return;
    }
    setRecordCounter(QStringLiteral("0"));
    setRangeEnd(QString::number(upperBound));
    // Record numbers start again in each numbered subfolder: a record is named by its file too.
    const QString subfolder = QFileInfo(m_padTextFolder).fileName();
    for (qsizetype pass = 0; pass <= upperBound; ++pass) {
        log.reach(int(pass), int(upperBound + 1));
        emit batchProgress(int(pass), int(upperBound + 1));
        const QString file = names.value().value(platform::toInt32(m_record.recordCounter).value_or(-1));
        log.startRecord(
            QStringLiteral("%1 (%2)").arg(m_record.recordCounter, files::displayPath(subfolder, file)));
        if (!yieldGoesOn()) {
            return;
        }
        if (!log.note(pressStep4()).ok()) {
            setRecordCounter(QString::number(pass + 1));
            continue;
        }
        if (!yieldGoesOn()) {
            return;
        }
        log.note(pressStep5());
        if (!yieldGoesOn()) {
            return;
        }
        if (const std::optional<platform::FileWrite> effect = log.noteWrite(pressStep6())) {
            notePageWritten(log, *effect);
        }
    }
}

} // namespace vt::workflow
