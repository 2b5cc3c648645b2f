#include "check/CheckSources.h"

#include "check/PadCheck.h"
#include "files/AllFiles.h"
#include "pagegen/RecordSteps.h"
#include "platform/Browser.h"
#include "platform/NetworkBrowser.h"
#include "workflow/RecordSources.h"

namespace vt::check {
namespace {

using namespace Qt::StringLiterals;

const QString EmptyList = u"The list of PAD files \"%1\" holds no URL."_s;

// The records URL mode makes, each once, in order: its passes start at the start record and move
// the counter on as Step 6 does.
std::vector<int> urlRecords(int startRecord, int rangeEnd) {
    std::vector<int> records;
    QString counter = QString::number(startRecord);
    const QString lastRecord = QString::number(rangeEnd);
    for (int pass = 1; pass <= rangeEnd; ++pass) {
        if (const int record = counter.toInt(); records.empty() || records.back() != record) {
            records.push_back(record);
        }
        counter = pagegen::RecordAfterPage(counter, lastRecord);
    }
    return records;
}

CheckRun finished(PadCheck& check, int records, int checked, bool stopped) {
    return {check.takeFindings(), records, checked, stopped};
}

} // namespace

Result<CheckRun> CheckTextFolder(const TextFolderCheck& source, const CheckHooks& hooks) {
    const Result<QStringList> names = files::AllFiles(source.folder);
    if (!names) {
        return names.status();
    }
    // A folder without files is listed as one empty name, which no record can be read from.
    if (names.value().constFirst().isEmpty()) {
        return workflow::ReadListedPadText(source.folder, names.value(), u"0"_s).status();
    }
    const int lastRecord = source.rangeEnd.value_or(int(names.value().size()) - 1);
    const int records = lastRecord + 1;
    PadCheck check(source.byCategory);
    for (int record = 0; record <= lastRecord; ++record) {
        hooks.progress(record, records);
        if (!hooks.goesOn()) {
            return finished(check, records, record, true);
        }
        const Result<QString> text =
            workflow::ReadListedPadText(source.folder, names.value(), QString::number(record));
        const QString file = names.value().value(record);
        if (text) {
            check.checkText(record, file, text.value());
        } else {
            check.notLoaded(record, file, text.message());
        }
    }
    return finished(check, records, records, false);
}

Result<CheckRun> CheckUrlList(const UrlListCheck& source, platform::Browser& browser,
                              const CheckHooks& hooks) {
    const Result<QStringList> list = workflow::ReadUrlList(source.listFile);
    if (!list) {
        return list.status();
    }
    if (list.value().isEmpty()) {
        return Status::failure(EmptyList.arg(source.listFile));
    }
    const std::vector<int> records =
        urlRecords(source.startRecord, source.rangeEnd.value_or(int(list.value().size())));
    const auto total = int(records.size());
    // The address of each record, "" where nothing is loaded, as the batch tells the browser.
    std::vector<workflow::RecordAddress> entries;
    for (const int record : records) {
        const Result<std::int16_t> number = workflow::UrlListRecord(QString::number(record));
        entries.push_back(
            number ? workflow::AddressOfRecord(list.value(), number.value(), source.allowLocalFiles)
                   : workflow::RecordAddress{QString(), number.message()});
    }
    // The addresses loaded, in order: the browser is told a window of them, again when half of it
    // is gone.
    QStringList addresses;
    for (const workflow::RecordAddress& entry : entries) {
        if (entry.refusal.isEmpty()) {
            addresses += entry.address;
        }
    }
    qsizetype loads = 0;
    PadCheck check(false);
    bool stopped = false;
    const auto goesOn = [&] {
        stopped = stopped || !hooks.goesOn();
        return !stopped;
    };
    for (int i = 0; i < total; ++i) {
        hooks.progress(i, total);
        if (!goesOn()) {
            return finished(check, total, i, true);
        }
        // A record is named by its entry in the list, as the batch names it.
        const QString entry = list.value().value(records[i]).trimmed();
        if (!entries[i].refusal.isEmpty()) {
            check.notLoaded(records[i], entry, entries[i].refusal);
            continue;
        }
        if (loads % (platform::MaxLoadsAhead / 2) == 0) {
            browser.prefetch(addresses.mid(loads, platform::MaxLoadsAhead));
        }
        ++loads;
        const Status loaded = workflow::LoadAddress(browser, entries[i].address, goesOn);
        if (stopped) {
            return finished(check, total, i, true);
        }
        if (loaded) {
            check.checkText(records[i], entry, browser.bodyText());
        } else {
            check.notLoaded(records[i], entry, loaded.message());
        }
    }
    return finished(check, total, total, false);
}

} // namespace vt::check
