#include "pagegen/RecordSteps.h"

#include "files/SafePath.h"
#include "pagegen/PageWriter.h"
#include "platform/ControlNumbers.h"

#include <limits>

namespace vt::pagegen {

QString NextRecord(const QString& recordCounter) {
    const std::optional<std::int32_t> current = platform::toInt32(recordCounter);
    if (!current || *current == std::numeric_limits<std::int32_t>::max()) {
        return recordCounter;
    }
    return QString::number(*current + 1);
}

QString RecordAfterPage(const QString& recordCounter, const QString& lastRecord) {
    return recordCounter == lastRecord ? recordCounter : NextRecord(recordCounter);
}

Result<platform::FileWrite> MakeWebPage(RecordValues& values, TemplateStore& templates) {
    const Result<PageFile> file = PreparePage(values, templates);
    return file ? WritePageFile(file.value()) : file.status();
}

Result<PageFile> PreparePage(RecordValues& values, TemplateStore& templates) {
    if (values.storageFolder.isEmpty()) {
        // Refused before anything is touched; the caller warns the user.
        return CheckedPagePath(values.storageFolder, values.currentProgramName, std::nullopt).status();
    }
    std::optional<QString> category;
    if (values.categoryMode) {
        category = values.currentCategory;
    } else {
        values.padText +=
            QStringLiteral("\r\n") +
            files::displayPath(values.storageFolder, values.currentProgramName + QStringLiteral(".html"));
    }
    const Result<QString> path = CheckedPagePath(values.storageFolder, values.currentProgramName, category);
    Result<PageFile> file =
        path ? Result<PageFile>(
                   PageFile{path.value(), files::textFileBytes(templates.pageTemplate, values.pageEncoding)})
             : Result<PageFile>(path.status());
    values.recordCounter = RecordAfterPage(values.recordCounter, values.lastRecord);
    templates.pageTemplate = templates.backupTemplate;
    return file;
}

Result<platform::FileWrite> WritePageFile(const PageFile& file) {
    return platform::ReplaceFile(file.path, file.bytes);
}

Result<platform::FileWrite> MakeTxt(RecordValues& values, TemplateStore& templates) {
    Result<platform::FileWrite> written =
        WritePadText(values.storageFolder, values.recordCounter, values.padText);
    if (written) {
        values.recordCounter = NextRecord(values.recordCounter);
        templates.pageTemplate = templates.backupTemplate;
    }
    return written;
}

} // namespace vt::pagegen
