#include "workflow/Workflow.h"

#include "files/AllFiles.h"
#include "pagegen/MarkupEscape.h"
#include "pagegen/RecordSteps.h"
#include "pagegen/TemplateFill.h"
#include "platform/Browser.h"
#include "platform/ControlNumbers.h"
#include "platform/Dialogs.h"
#include "platform/NetworkBrowser.h"
#include "workflow/RecordSources.h"

namespace vt::workflow {
namespace {

using platform::Answer;
using platform::MessageButtons;
using platform::MessageIcon;

const QString UrlModeCaption = QStringLiteral("Make web pages from PAD file URLs");
const QString TextStoreCaption = QStringLiteral("Just store PAD files as text files");
const QString TextFileCaption = QStringLiteral("Make web pages from PAD text files");

const QString ImportQuestion = QStringLiteral("If you have a large file, this may take time - your computer "
                                              "may seem like it has frozen but it is in fact "
                                              "importing PAD files.\r\n\r\nContinue?");
const QString ListFilter = QStringLiteral("Text Files (*.txt) | *.txt");
const QString CapMessage = QStringLiteral(
    "30,000 records have been imported. It is wise not to work with more than 30,000 records at a time. Only "
    "30,000 records have been imported (range 0 - 29,999).");
const QString UnreadableListMessage = QStringLiteral("The list of PAD files could not be read.\r\n\r\n%1");
const QString BadStartRecordMessage =
    QStringLiteral("\"%1\" in \"Start from record no:\" is not a whole number from -32,768 to "
                   "32,767.\r\n\r\nThe current record "
                   "number stays %2.");

const QString AdBlockName = QStringLiteral("the ad block");
const QString LeftOutMessage = QStringLiteral(
    "The page would have grown past 64 MiB, so %1 was left out; the page was written as it stands");
QString pagegen::TemplateStore::*textOf(TemplateText which) {
    switch (which) {
    case TemplateText::Page:
        return &pagegen::TemplateStore::pageTemplate;
    case TemplateText::Backup:
        return &pagegen::TemplateStore::backupTemplate;
    case TemplateText::AdBlock:
        break;
    }
    return &pagegen::TemplateStore::adBlock;
}

} // namespace

Workflow::Workflow(platform::Dialogs& dialogs, platform::Browser& browser, platform::Yield yield,
                   QObject* parent)
    : QObject(parent)
    , m_dialogs(dialogs)
    , m_browser(browser)
    , m_yield(std::move(yield))
    , m_batchCaption(UrlModeCaption) {
    m_record.lastRecord = QStringLiteral("0");
    setShown({Control::Command1, Control::Command2, Control::Command3, Control::Command5, Control::Command8,
              Control::Label6, Control::Text5, Control::Command11, Control::Check3, Control::Combo1},
             false);
}

const QString& Workflow::templateText(TemplateText which) const {
    return m_templates.*textOf(which);
}

void Workflow::setTemplateText(TemplateText which, const QString& text) {
    m_templates.*textOf(which) = text;
    emit changed();
}

void Workflow::discardTemplateEdits(TemplateText which) {
    setTemplateText(which, which == TemplateText::AdBlock ? pagegen::DefaultAdBlock()
                                                          : pagegen::DefaultPageTemplate());
}

void Workflow::setPadText(const QString& text) {
    m_record.padText = text;
    emit changed();
}

void Workflow::setStorageFolder(const QString& folder) {
    m_record.storageFolder = folder;
    emit changed();
}

void Workflow::setStartRecord(const QString& text) {
    m_startRecord = text;
    emit changed();
}

void Workflow::setRangeEnd(const QString& text) {
    m_record.lastRecord = text;
    emit changed();
}

void Workflow::setPadTextFolder(const QString& folder) {
    m_padTextFolder = folder;
    emit changed();
}

void Workflow::setRecordCounter(const QString& text) {
    m_record.recordCounter = text;
    emit changed();
}

void Workflow::setCategoryProgress(const QString& text) {
    m_categoryProgress = text;
    emit changed();
}

void Workflow::setCurrentProgramName(const QString& name) {
    m_record.currentProgramName = name;
    emit changed();
}

void Workflow::setPageTheme(std::optional<pagegen::PageTheme> theme) {
    m_record.pageEncoding = theme ? files::Encoding::Utf8 : files::Encoding::Windows1252;
    m_pageTheme = std::move(theme);
}

void Workflow::setCheck1(int value) {
    if (value != m_check1) {
        m_check1 = value;
        emit changed();
        runCheck1Action();
    }
}

void Workflow::setCheck2(int value) {
    if (value != m_check2) {
        m_check2 = value;
        emit changed();
        runCheck2Action();
    }
}

void Workflow::setCheck3(int value) {
    if (value != m_check3) {
        m_check3 = value;
        emit changed();
        if (m_check3Action) {
            m_check3Action();
        }
    }
}

void Workflow::setControlShown(Control control, bool shown) {
    setShown({control}, shown);
}

// The box's value is tested twice, so a nested change made by the first branch is seen by the second.
void Workflow::runCheck1Action() {
    if (m_check1 == 1) {
        setCheck2(0);
        m_enabled.set(Control::Command3, false);
        m_enabled.set(Control::Command5, false);
        setBatchCaption(TextStoreCaption);
    }
    if (m_check1 == 0) {
        m_enabled.set(Control::Command3, true);
        m_enabled.set(Control::Command5, true);
        setBatchCaption(UrlModeCaption);
    }
}

void Workflow::runCheck2Action() {
    if (m_check2 == 1) {
        setCheck1(0);
        setShown({Control::Text5, Control::Label6}, true);
        setBatchCaption(TextFileCaption);
        setShown({Control::Command11}, true);
    }
    if (m_check2 == 0) {
        setShown({Control::Text5, Control::Label6}, false);
        setBatchCaption(UrlModeCaption);
        setShown({Control::Command11}, false);
    }
}

void Workflow::setShown(std::initializer_list<Control> controls, bool shown) {
    for (const Control control : controls) {
        m_shown.set(control, shown);
    }
    emit changed();
}

void Workflow::setBatchCaption(const QString& caption) {
    m_batchCaption = caption;
    emit changed();
}

bool Workflow::yieldGoesOn() {
    m_yield();
    return !isStopping();
}

void Workflow::pressStep1() {
    // An import while a run or another import waits in a yield is refused; that one goes on.
    if (!beginRun()) {
        return;
    }
    if (m_dialogs.message(ImportQuestion, MessageButtons::YesNo, MessageIcon::None) == Answer::Yes) {
        importList();
    }
    endRun();
}

void Workflow::importList() {
    if (!yieldGoesOn()) {
        return;
    }
    m_urlList.clear();
    emit changed();
    if (!yieldGoesOn()) {
        return;
    }
    if (const std::optional<QString> chosen = m_dialogs.openFile(ListFilter)) {
        m_listFileName = *chosen;
    }
    if (!m_listFileName.isEmpty()) {
        Result<QStringList> lines = ReadUrlList(m_listFileName);
        if (!lines) {
            m_dialogs.message(UnreadableListMessage.arg(lines.message()), MessageButtons::Ok,
                              MessageIcon::Exclamation);
            return;
        }
        m_urlList = std::move(lines).value();
        if (!m_urlList.isEmpty()) {
            setRangeEnd(QString::number(m_urlList.size()));
        }
        if (m_urlList.size() == MaxUrlEntries) {
            m_dialogs.message(CapMessage, MessageButtons::Ok, MessageIcon::None);
        }
    }
    const std::optional<std::int16_t> start = platform::toInt16(m_startRecord);
    if (!start) {
        m_dialogs.message(BadStartRecordMessage.arg(m_startRecord, m_record.recordCounter),
                          MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    setRecordCounter(QString::number(*start));
}

// The browser is told a window of the records to come, and told again only when half of it is
// gone or the record about to be loaded is not the one it was told: the cost per record stays the
// same however far the loads go ahead.
void Workflow::prefetchPasses(int passes, bool stopsAtRangeEnd) {
    const std::size_t window = std::size_t(std::min(passes, platform::MaxLoadsAhead));
    if (!m_toldRecords.empty() && m_toldRecords.front() == m_record.recordCounter &&
        2 * m_toldRecords.size() > window) {
        m_toldRecords.pop_front();
        return;
    }
    m_toldRecords.clear();
    QStringList addresses;
    QString counter = m_record.recordCounter;
    for (std::size_t pass = 0; pass < window; ++pass) {
        const std::optional<std::int16_t> record = platform::toInt16(counter);
        if (!record) {
            break;
        }
        addresses += AddressOfRecord(m_urlList, *record, m_allowLocalFiles).address;
        m_toldRecords.push_back(counter);
        counter = stopsAtRangeEnd ? pagegen::RecordAfterPage(counter, m_record.lastRecord)
                                  : pagegen::NextRecord(counter);
    }
    m_browser.prefetch(addresses);
    if (!m_toldRecords.empty()) {
        m_toldRecords.pop_front();
    }
}

Status Workflow::pressStep3() {
    const Result<std::int16_t> record = UrlListRecord(m_record.recordCounter);
    if (!record) {
        return record.status();
    }
    const RecordAddress entry = AddressOfRecord(m_urlList, record.value(), m_allowLocalFiles);
    if (!entry.refusal.isEmpty()) {
        // An empty document in its place, so Step 4 grabs nothing of an earlier record.
        m_browser.navigate(QString());
        emit changed();
        return Status::failure(entry.refusal);
    }
    const Status loaded = LoadAddress(m_browser, entry.address, [this] { return yieldGoesOn(); });
    if (!m_shutDown) {
        emit changed();
    }
    return loaded;
}

Status Workflow::pressStep4() {
    if (m_check2 != 1 && m_check3 != 1) {
        setPadText(m_browser.bodyText());
        return Status::success();
    }
    const Result<QStringList> names = files::AllFiles(m_padTextFolder);
    if (!names) {
        return names.status();
    }
    if (m_check2 == 1) {
        setRangeEnd(QString::number(names.value().size() - 1));
    }
    Result<QString> text = ReadListedPadText(m_padTextFolder, names.value(), m_record.recordCounter);
    if (!text) {
        return text.status();
    }
    setPadText(std::move(text).value());
    return Status::success();
}

// Each row cuts the PAD text box to what follows the row's open tag, then has Step 4 reload it;
// only row 1 sees edits the user made to the box. The cut shows only where the reload fails
// (Step 4 leaves the box as it is then), so it is made only there. Step 5 does not yield, so
// every reload after row 1 finds what the first found: that one reload serves them all, and the
// other rows' values are all taken from the text it loaded.
Status Workflow::pressStep5() {
    const std::vector<pagegen::FieldRow>& rows = pagegen::PadFieldTable();
    const QString firstValue =
        pagegen::valueBetween(m_record.padText, rows.front().openTag, rows.front().closeTag);
    // Step 5 passes over every failure. A theme renders the page from the whole text the rows read:
    // the reloaded one, or, when the reload fails, the text before the rows cut it.
    const QString firstText = m_record.padText;
    const bool reloaded = pressStep4().ok();
    const QString themeText = reloaded ? m_record.padText : firstText;
    QStringList values;
    if (reloaded) {
        values = pagegen::ValuesBetween(m_record.padText, rows);
        values.front() = firstValue;
    } else {
        for (const pagegen::FieldRow& field : rows) {
            const qsizetype open = m_record.padText.indexOf(field.openTag);
            values += values.isEmpty()
                          ? firstValue
                          : pagegen::valueBetween(m_record.padText, field.openTag, field.closeTag);
            if (open >= 0) {
                setPadText(m_record.padText.mid(open + field.openTag.size()));
            }
        }
    }
    m_record.currentProgramName = values.front();
    if (m_check3 == 1) {
        m_record.currentCategory = values.back();
    }
    if (m_pageTheme) {
        m_templates.pageTemplate = m_pageTheme->render(
            themeText, values.front(), m_check3 == 1 ? std::optional(values.back()) : std::nullopt);
        emit changed();
        return Status::success();
    }
    QStringList shown = values;
    if (m_escapeMarkup) {
        for (QString& value : shown) {
            value = pagegen::EscapeMarkup(value);
        }
    }
    const std::vector<pagegen::RowOutcome> filled =
        pagegen::FillValues(m_templates.pageTemplate, rows, shown, m_templates.adBlock);
    QStringList leftOut;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (!filled[row].valueFilled) {
            leftOut += QStringLiteral("the value of ") + rows[row].openTag;
        }
        if (!filled[row].adBlockFilled && !leftOut.contains(AdBlockName)) {
            leftOut += AdBlockName;
        }
    }
    emit changed();
    if (leftOut.isEmpty()) {
        return Status::success();
    }
    return Status::failure(LeftOutMessage.arg(leftOut.join(QStringLiteral(", "))));
}

Result<platform::FileWrite> Workflow::pressStep6() {
    if (m_record.storageFolder.isEmpty()) {
        m_dialogs.message(NoStorageFolderMessage, MessageButtons::Ok, MessageIcon::Exclamation);
        return Status::failure(NoStorageFolderMessage);
    }
    m_record.categoryMode = m_check3 == 1;
    Result<platform::FileWrite> written = pagegen::MakeWebPage(m_record, m_templates);
    emit changed();
    if (m_record.categoryMode) {
        static_cast<void>(pressStep4());
    }
    return written;
}

Result<platform::FileWrite> Workflow::pressMakeTxt() {
    Result<platform::FileWrite> written = pagegen::MakeTxt(m_record, m_templates);
    emit changed();
    return written;
}

void Workflow::choosePadTextFolder(const QString& folder) {
    const Result<QStringList> names = files::AllFiles(folder);
    if (!names) {
        return;
    }
    setPadTextFolder(folder);
    setRangeEnd(QString::number(names.value().size() - 1));
}

void Workflow::enterCategoryLayout() {
    setShown({Control::Text2, Control::Text3, Control::Text4, Control::Command7, Control::Command4,
              Control::Command6, Control::Check1, Control::Check2, Control::Check3, Control::Label3,
              Control::Label4, Control::Label5},
             false);
    setShown({Control::Text5, Control::Command11}, true);
}

void Workflow::setNoDataWait(int seconds) {
    m_noDataWait = seconds;
    m_browser.setNoDataWait(std::chrono::seconds(seconds));
}

void Workflow::requestStop() {
    if (m_running && !m_stopRequested) {
        m_stopRequested = true;
        m_browser.stop();
    }
}

void Workflow::shutDown() {
    m_shutDown = true;
    m_browser.stop();
    // A page handed over before the close is written now: nothing is written after it.
    m_writeBehind.wait();
}

} // namespace vt::workflow
