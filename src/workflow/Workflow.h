#pragma once

#include "files/Outcome.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

#include "fetch/FetchState.h"
#include "pagegen/PageTheme.h"
#include "pagegen/RecordSteps.h"
#include "pagegen/TemplateStore.h"
#include "platform/FileSystem.h"
#include "platform/PageLoad.h"
#include "platform/Yield.h"
#include "workflow/Controls.h"
#include "workflow/WriteBehind.h"

namespace vt::platform {
class Browser;
class Dialogs;
} // namespace vt::platform

namespace vt::workflow {

enum class TemplateText { Page, Backup, AdBlock };

// Step 6 and the batch refuse to start without a storage folder.
inline const QString NoStorageFolderMessage =
    QStringLiteral("You must carry out step 2: and choose a folder in which to store your files first.");

// How a batch went: refused before any record, or the records it passed over and why, and the
// pages that a later record of the run replaced.
struct BatchSummary {
    // A message box names this many failures and replaced pages; the runner names them all.
    static constexpr qsizetype NamedInMessage = 5;

    bool refused = false;
    bool stopped = false; // by the user's Stop, between two records
    int done = 0;         // records behind when the run ended: all of them, unless it stopped
    int total = 0;        // records the run set out to make
    int records = 0;
    int failed = 0;
    int written = 0;      // pages and PAD texts written anew
    int unchanged = 0;    // pages and PAD texts that already held exactly their bytes
    QStringList failures; // "Record 12: reason"
    QStringList replaced; // "Record 91 replaced the page of record 17: Foo.html"
    QStringList notes;    // what else the run could not do: the records it never reached

    bool allMade() const { return failed == 0 && replaced.isEmpty(); }
    // Whether the end of the run has something to say: failures, a stop, or files a re-run left as
    // they were.
    bool worthTelling() const { return !allMade() || stopped || unchanged > 0 || !notes.isEmpty(); }
    void add(const BatchSummary& other) {
        stopped = stopped || other.stopped;
        done += other.done;
        total += other.total;
        records += other.records;
        failed += other.failed;
        written += other.written;
        unchanged += other.unchanged;
        failures += other.failures;
        replaced += other.replaced;
        notes += other.notes;
    }
};

// The state and steps of the main window, without widgets. It holds every value the window's
// controls hold and offers one operation per control action. A press from code is a plain
// call that runs to its end, whatever the button's shown or enabled state; a check box setter
// runs the box's action only when its value really changes. Every change emits changed().
class Workflow final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Workflow)

public:
    Workflow(platform::Dialogs& dialogs, platform::Browser& browser, platform::Yield yield,
             QObject* parent = nullptr);

    const QString& padText() const { return m_record.padText; }             // Text1
    const QString& storageFolder() const { return m_record.storageFolder; } // Text2
    const QString& startRecord() const { return m_startRecord; }            // Text3
    const QString& rangeEnd() const { return m_record.lastRecord; }         // Text4
    const QString& padTextFolder() const { return m_padTextFolder; }        // Text5
    const QString& recordCounter() const { return m_record.recordCounter; } // Label2
    const QString& categoryProgress() const { return m_categoryProgress; }  // Label7
    const QString& batchCaption() const { return m_batchCaption; }          // Command6
    const QStringList& urlList() const { return m_urlList; }                // Combo1
    int check1() const { return m_check1; }
    int check2() const { return m_check2; }
    int check3() const { return m_check3; }
    const QString& currentProgramName() const { return m_record.currentProgramName; }
    const QString& currentCategory() const { return m_record.currentCategory; }
    bool isShown(Control control) const { return m_shown[control]; }
    bool isEnabled(Control control) const { return m_enabled[control]; }

    const QString& templateText(TemplateText which) const;
    void setTemplateText(TemplateText which, const QString& text);
    // A template window closed: its edits are gone and the next read finds the default text.
    void discardTemplateEdits(TemplateText which);

    // Edits of the text boxes.
    void setPadText(const QString& text);
    void setStorageFolder(const QString& folder);
    void setStartRecord(const QString& text);
    void setRangeEnd(const QString& text);
    void setPadTextFolder(const QString& folder);
    void setRecordCounter(const QString& text);
    void setCategoryProgress(const QString& text);
    // The article maker's fill names the program too; Step 6 saves under the last name set.
    void setCurrentProgramName(const QString& name);

    void setCheck1(int value);
    void setCheck2(int value);
    void setCheck3(int value);
    // The category box's action (the category run), run at every change of its value.
    void setCheck3Action(std::function<void()> action) { m_check3Action = std::move(action); }
    void setControlShown(Control control, bool shown);

    // Step 1 (Command4): imports the PAD URL list.
    void pressStep1();
    // Step 3 (Command2): loads the current record's URL and waits, yielding, until the browser
    // is idle. A load that failed is reported; the browser then shows a text about it.
    Status pressStep3();
    // Step 4 (Command1): puts the current record's PAD text into the PAD text box.
    Status pressStep4();
    // Step 5 (Command3): fills the working template from the PAD text box. Fails, naming them,
    // when values were left out of the page to keep it within its size limit.
    Status pressStep5();
    // Step 6 (Command5): writes the filled page.
    Result<platform::FileWrite> pressStep6();
    // "Make txt" (Command8): writes the PAD text as <record number>.txt.
    Result<platform::FileWrite> pressMakeTxt();
    // Command6: the batch over the range, in the mode the check boxes select, ending with a
    // message when records failed. Refused while another run or import is going on.
    void pressCommand6();
    // The same batch as part of a longer run that already holds the workflow (the category
    // run): no guard of its own and no message at the end; the caller reports the summary.
    BatchSummary runBatch();
    // A message that sums up the failed records and replaced pages of a summary, naming at most
    // `named` of each (all when negative).
    static QString summaryText(const BatchSummary& summary, qsizetype named = BatchSummary::NamedInMessage);
    // The end message of a run: the summary naming a few, with every failed record and replaced
    // page behind it for the user to read or save.
    void reportSummary(const BatchSummary& summary);
    // How many failed records and replaced pages the end message of a run names: a few in a
    // message box, all (negative) where the messages go to a log.
    void setNamedInSummary(qsizetype named) { m_namedInSummary = named; }
    qsizetype namedInSummary() const { return m_namedInSummary; }
    // Marks a run as going on; false when one already is, or the window has closed (the
    // running one goes on, the new one is refused). Each run notes its own pages.
    bool beginRun();
    void endRun();
    // True while an import or a run is going on.
    bool isRunning() const { return m_running; }
    // Stop (Esc): the run going on stops at its next yield, between two records, as closing the
    // window would stop it; every file written up to then is whole. The window stays.
    void requestStop();
    // Whether long actions stop at their next yield: Stop was asked for, or the window closed.
    bool isStopping() const { return m_stopRequested || m_shutDown; }

    // Whether Step 3 loads URL list entries that name local files; only http and https
    // addresses otherwise, so a bought or scraped list cannot put a file of this machine on a site.
    void setAllowLocalFiles(bool allow) { m_allowLocalFiles = allow; }
    bool allowsLocalFiles() const { return m_allowLocalFiles; }

    // Whether Step 5 fills each PAD value into the page as plain text (pagegen::EscapeMarkup), so a
    // PAD file from an author the site does not control cannot put script into its page. The page's
    // file name and category folder still come from the values as written.
    void setEscapeMarkup(bool escape) { m_escapeMarkup = escape; }
    bool escapesMarkup() const { return m_escapeMarkup; }

    // The theme Step 5 renders each page with instead of filling the template (none: the fill);
    // Step 6 then writes the page in UTF-8.
    void setPageTheme(std::optional<pagegen::PageTheme> theme);
    // Where the window's theme comes from: read again at the start of each batch and category run
    // (readPageTheme), so that a theme folder's edits show in the next run. None (the runner): the
    // theme stays as set.
    using PageThemeSource = std::function<Result<std::optional<pagegen::PageTheme>>()>;
    void setPageThemeSource(PageThemeSource source) { m_pageThemeSource = std::move(source); }
    // The theme of the run about to start, from the source; false, after a message naming what is
    // wrong with the theme, when it cannot be used: the run is then refused.
    bool readPageTheme();
    // After a run that made pages into the folder (the top of the site): the theme's other files
    // written there, each that could not be a note of the summary.
    void copyThemeFiles(BatchSummary& summary, const QString& folder) const;

    // Whether a batch over the URL list asks each server for its PAD file only if it changed since
    // the last such run into the storage folder (which keeps what it needs in ".vellumtide-fetch"):
    // a record whose PAD file is unchanged keeps its page or PAD text as it is, counted unchanged.
    void setFetchOnlyChanged(bool only) { m_fetchOnlyChanged = only; }
    bool fetchesOnlyChanged() const { return m_fetchOnlyChanged; }

    // How many seconds a load waits for a server that sends nothing (the whole load four times as
    // long), as the Options menu sets it: from the next load on.
    void setNoDataWait(int seconds);
    int noDataWait() const { return m_noDataWait; }

    // The PAD text folder chooser opened a folder: Text5 and, from its listing, Text4.
    void choosePadTextFolder(const QString& folder);

    // The category command found no PAD text folder: most controls hide for good.
    void enterCategoryLayout();

    // The main window closed: long actions stop at their next yield and write nothing more.
    void shutDown();
    bool isShutDown() const { return m_shutDown; }

signals:
    void changed();
    // A batch starts a record: how many of its records are done, and how many it will do.
    void batchProgress(int done, int total);

private:
    void runCheck1Action();
    void runCheck2Action();
    void setShown(std::initializer_list<Control> controls, bool shown);
    void setBatchCaption(const QString& caption);
    // Yields once; false when the main window closed meanwhile.
    bool yieldGoesOn();
    void importList();
    class BatchLog;
    void runPasses(BatchLog& log);
    void runCategoryPasses(BatchLog& log);
    bool startsBatch();
    // Tells the browser what Step 3 loads in this pass and the next ones, as the record number
    // moves: on by one after each record, but in URL mode not past the range end.
    void prefetchPasses(int passes, bool stopsAtRangeEnd);
    // The record numbers the browser was told come next, the current pass's first.
    std::deque<QString> m_toldRecords;
    void notePageWritten(BatchLog& log, platform::FileWrite effect);
    void notePage(BatchLog& log, const QString& record, const QString& page, platform::FileWrite effect);
    // A page of text-file mode whose write goes on while the next is made.
    struct HeldWrite {
        QString page;
        QString record;
        bool recordFailed;
        qsizetype failuresAt; // the failures of the run noted then, not counting held ones
    };
    void writePageBehind(BatchLog& log, int record);
    void readTextsAhead();
    // Notes the outcomes of pages the second thread wrote, in their records' order.
    void noteWrittenBehind(BatchLog& log, std::deque<Result<platform::FileWrite>> outcomes);
    std::deque<HeldWrite> m_heldWrites; // handed to the second thread, their outcomes not yet noted
    // The current record as messages name it: "23 (3.txt)", "5 (http://example.com/pad.xml)".
    QString namedRecord(const QString& address) const;
    // The trimmed address the current record's Step 3 loads, or "" when it loads none.
    QString recordAddress() const;
    // A batch that fetches only changed PAD files reads what the last one kept at its start and
    // writes it back at its end.
    void beginFetchState(bool textStore);
    void endFetchState();
    // A run that fetches every PAD file in full removes the state an earlier run kept in the
    // storage folder; false, with a message, when it cannot.
    bool dropFetchState();
    // After a load the server answered "not modified": the record keeps the file it made last
    // time and the counter moves on, true; or, when that file no longer holds what the record
    // made there or the record would now make another file, the PAD file is loaded again in
    // full (`loaded` says whether that worked), false.
    bool keepUnchangedRecord(BatchLog& log, const QString& address, bool textStore, bool& loaded);
    // What the fetch state keeps of the record just made: its file, or nothing after a failure.
    void rememberFetch(const BatchLog& log, const QString& address, const QString& file);

    platform::Dialogs& m_dialogs;
    platform::Browser& m_browser;
    platform::Yield m_yield;
    std::function<void()> m_check3Action;

    pagegen::RecordValues m_record;
    pagegen::TemplateStore m_templates;
    QString m_startRecord = QStringLiteral("0");
    QString m_padTextFolder;
    QString m_categoryProgress;
    QString m_batchCaption;
    QStringList m_urlList;
    QString m_listFileName; // what the open-file dialog keeps between imports
    int m_check1 = 0;
    int m_check2 = 0;
    int m_check3 = 0;
    ControlFlags m_shown{true};
    ControlFlags m_enabled{true};
    // The record that wrote each page of the running run: its PAD text folder and record number.
    QHash<QString, std::pair<QString, QString>> m_pageWriters;
    qsizetype m_namedInSummary = BatchSummary::NamedInMessage;
    bool m_allowLocalFiles = false;
    bool m_escapeMarkup = false;
    std::optional<pagegen::PageTheme> m_pageTheme;
    PageThemeSource m_pageThemeSource;
    bool m_fetchOnlyChanged = false;
    int m_noDataWait = int(std::chrono::duration_cast<std::chrono::seconds>(platform::MaxSilence).count());
    std::optional<fetch::FetchState> m_fetchState; // while a batch that fetches only changed files runs
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_shutDown = false;
    // Last, so it is the first to end: it finishes a write that may still use what it was given.
    WriteBehind m_writeBehind;
};

} // namespace vt::workflow
