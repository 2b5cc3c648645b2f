#include "pagegen/PageWriter.h"

#include "files/SafePath.h"
#include "files/TextFile.h"

namespace vt::pagegen {
namespace {

Status refusedName(QStringView name) {
    return Status::failure(QStringLiteral("\"%1\" is not a name a file can have here").arg(name));
}

Status noStorageFolder() {
    return Status::failure(QStringLiteral("No storage folder has been chosen"));
}

} // namespace

Status WritePage(const QString& storageFolder, QStringView programName,
                 const std::optional<QString>& category, QStringView page) {
    if (storageFolder.isEmpty()) {
        return noStorageFolder();
    }
    const std::optional<QString> folder =
        category ? files::nestedPath(storageFolder, *category) : storageFolder;
    if (!folder) {
        return refusedName(*category);
    }
    const std::optional<QString> path = files::childFilePath(*folder, programName, u".html");
    if (!path) {
        return refusedName(programName);
    }
    return files::writeTextFile(*path, page);
}

Status WritePadText(const QString& storageFolder, QStringView recordNumber, QStringView padText) {
    if (storageFolder.isEmpty()) {
        return noStorageFolder();
    }
    const std::optional<QString> path = files::childFilePath(storageFolder, recordNumber, u".txt");
    if (!path) {
        return refusedName(recordNumber);
    }
    return files::writeTextFile(*path, padText);
}

} // namespace vt::pagegen
