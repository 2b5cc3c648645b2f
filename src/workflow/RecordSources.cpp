#include "workflow/RecordSources.h"

#include <QThread>

#include "files/SafePath.h"
#include "files/TextFile.h"
#include "platform/Browser.h"
#include "platform/ControlNumbers.h"
#include "platform/PageLoad.h"

namespace vt::workflow {
namespace {

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

} // namespace

Result<QStringList> ReadUrlList(const QString& listFile) {
    return files::readTextLines(listFile, MaxUrlEntries, files::LineEnds::AnyBreak);
}

Result<std::int16_t> UrlListRecord(const QString& recordCounter) {
    if (const std::optional<std::int16_t> record = platform::toInt16(recordCounter)) {
        return *record;
    }
    return Status::failure(
        (platform::isNumber(recordCounter) ? OutOfRangeRecord : NotANumberRecord).arg(recordCounter));
}

RecordAddress AddressOfRecord(const QStringList& urlList, std::int16_t record, bool allowLocalFiles) {
    const QString address = record >= 0 ? urlList.value(record) : QString();
    const QString refusal = refusalOf(address, allowLocalFiles);
    return {refusal.isEmpty() ? address : QString(), refusal};
}

Status LoadAddress(platform::Browser& browser, const QString& address, const std::function<bool()>& goesOn) {
    browser.navigate(address);
    while (browser.readyState() == platform::ReadyState::Loading || browser.busy()) {
        if (!goesOn()) {
            return Status::failure(QStringLiteral("The run was stopped"));
        }
        // The load goes on in the events the yield handles; a short pause between rounds keeps
        // the wait from spinning a processor core for the whole download.
        QThread::msleep(1);
    }
    const QString failure = browser.failure();
    return failure.isEmpty() ? Status::success() : Status::failure(failure);
}

Result<QString> ReadListedPadText(const QString& folder, const QStringList& names,
                                  const QString& recordCounter) {
    const std::optional<std::int32_t> record = platform::toInt32(recordCounter);
    if (!record && !platform::isNumber(recordCounter)) {
        return Status::failure(NotANumberRecord.arg(recordCounter));
    }
    if (!record || *record < 0 || *record >= names.size()) {
        return Status::failure(
            QStringLiteral("Record %1 is not in the folder \"%2\"").arg(recordCounter, folder));
    }
    const QString& name = names.at(*record);
    if (name.isEmpty()) {
        return Status::failure(QStringLiteral("The folder \"%1\" holds no PAD text files").arg(folder));
    }
    return files::readTextFile(files::displayPath(folder, name));
}

} // namespace vt::workflow
