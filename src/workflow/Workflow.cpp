#include "workflow/Workflow.h"

#include <QThread>

#include "files/AllFiles.h"
#include "files/SafePath.h"
#include "files/TextFile.h"
#include "pagegen/TemplateFill.h"
#include "platform/Browser.h"
#include "platform/ControlNumbers.h"
#include "platform/Dialogs.h"
#include "platform/NetworkBrowser.h"

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
// Record numbers that index the list are 16-bit elsewhere, so the cap keeps every entry reachable.
constexpr qsizetype MaxUrlEntries = 30000;
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
const QString NotANumberRecord = QStringLiteral("The record number \"%1\" is not a whole number");
// Step 3 reads the record number as a 16-bit number, as the list's entries are numbered.
const QString OutOfRangeRecord =
    QStringLiteral("The record number \"%1\" is out of range: Step 3 loads records -32,768 to 32,767");

const QString LocalFileRefused = QStringLiteral(
    "The URL list entry \"%1\" names a local file, which is loaded only when local files are "
    "allowed (\"Allow Local Files in the URL List\" in the window's menu, --allow-local-files)");
const QString NotWebAddress = QStringLiteral("The URL list entry \"%1\" is not an http or https address");

// Why a URL list entry is not loaded, or "" when it is.
QString refusalOf(const QString& address, bool allowLocalFiles) {
    if (address.trimmed().isEmpty()) {
        return QString();
    }
    switch (platform::KindOfAddress(address)) {
    case platform::AddressKind::Web:
        return QString();
    case platform::AddressKind::LocalFile:
        return allowLocalFiles ? QString() : LocalFileRefused.arg(address);
    case platform::AddressKind::Other:
        break;
    }
    return NotWebAddress.arg(address);
}

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
    return !m_shutDown;
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
        Result<QStringList> lines =
            files::readTextLines(m_listFileName, MaxUrlEntries, files::LineEnds::AnyBreak);
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

// A record past either end of the list has no address: an empty document, no request. Neither
// has an entry that is refused.
std::pair<QString, QString> Workflow::addressOf(std::int16_t record) const {
    const QString address = record >= 0 ? m_urlList.value(record) : QString();
    const QString refusal = refusalOf(address, m_allowLocalFiles);
    return {refusal.isEmpty() ? address : QString(), refusal};
}

void Workflow::prefetchPasses(int passes, bool stopsAtRangeEnd) {
    QStringList addresses;
    QString counter = m_record.recordCounter;
    for (int pass = 0; pass < std::min(passes, platform::MaxLoadsAhead + 1); ++pass) {
        const std::optional<std::int16_t> record = platform::toInt16(counter);
        if (!record) {
            break;
        }
        addresses += addressOf(*record).first;
        if (!stopsAtRangeEnd || counter != m_record.lastRecord) {
            counter = QString::number(*record + 1);
        }
    }
    m_browser.prefetch(addresses);
}

Status Workflow::pressStep3() {
    const std::optional<std::int16_t> record = platform::toInt16(m_record.recordCounter);
    if (!record) {
        return Status::failure(
            (platform::isNumber(m_record.recordCounter) ? OutOfRangeRecord : NotANumberRecord)
                .arg(recordCounter()));
    }
    const auto [address, refusal] = addressOf(*record);
    m_browser.navigate(address);
    if (!refusal.isEmpty()) {
        // An empty document in its place, so Step 4 grabs nothing of an earlier record.
        emit changed();
        return Status::failure(refusal);
    }
    while (m_browser.readyState() == platform::ReadyState::Loading || m_browser.busy()) {
        if (!yieldGoesOn()) {
            return Status::failure(QStringLiteral("The window was closed"));
        }
        // The load goes on in the events the yield handles; a short pause between rounds keeps
        // the wait from spinning a processor core for the whole download.
        QThread::msleep(1);
    }
    emit changed();
    const QString failure = m_browser.failure();
    return failure.isEmpty() ? Status::success() : Status::failure(failure);
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
    const std::optional<std::int32_t> record = platform::toInt32(m_record.recordCounter);
    if (!record && !platform::isNumber(m_record.recordCounter)) {
        return Status::failure(NotANumberRecord.arg(recordCounter()));
    }
    if (!record || *record < 0 || *record >= names.value().size()) {
        return Status::failure(
            QStringLiteral("Record %1 is not in the folder \"%2\"").arg(recordCounter(), m_padTextFolder));
    }
    const QString& name = names.value().at(*record);
    if (name.isEmpty()) {
        return Status::failure(
            QStringLiteral("The folder \"%1\" holds no PAD text files").arg(m_padTextFolder));
    }
    Result<QString> text = files::readTextFile(files::displayPath(m_padTextFolder, name));
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
    // Step 5 passes over every failure.
    QStringList values;
    if (pressStep4().ok()) {
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
    const std::vector<pagegen::RowOutcome> filled =
        pagegen::FillValues(m_templates.pageTemplate, rows, values, m_templates.adBlock);
    QStringList leftOut;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (!filled[row].valueFilled) {
            leftOut += QStringLiteral("the value of ") + rows[row].openTag;
        }
        if (!filled[row].adBlockFilled && !leftOut.contains(AdBlockName)) {
            leftOut += AdBlockName;
        }
    }
    m_record.currentProgramName = values.front();
    if (m_check3 == 1) {
        m_record.currentCategory = values.back();
    }
    emit changed();
    if (leftOut.isEmpty()) {
        return Status::success();
    }
    return Status::failure(LeftOutMessage.arg(leftOut.join(QStringLiteral(", "))));
}

Status Workflow::pressStep6() {
    if (m_record.storageFolder.isEmpty()) {
        m_dialogs.message(NoStorageFolderMessage, MessageButtons::Ok, MessageIcon::Exclamation);
        return Status::failure(NoStorageFolderMessage);
    }
    m_record.categoryMode = m_check3 == 1;
    const Status written = pagegen::MakeWebPage(m_record, m_templates);
    emit changed();
    if (m_record.categoryMode) {
        static_cast<void>(pressStep4());
    }
    return written;
}

Status Workflow::pressMakeTxt() {
    const Status written = pagegen::MakeTxt(m_record, m_templates);
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

void Workflow::shutDown() {
    m_shutDown = true;
    m_browser.stop();
}

} // namespace vt::workflow
