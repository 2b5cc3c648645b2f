#include "pagegen/PageWriter.h"

#include <QDir>

#include "files/SafePath.h"
#include "files/TextFile.h"
#include "platform/FileSystem.h"

namespace vt::pagegen {
namespace {

// What a refused name was meant to be ("program name", "category", "record number") and the name.
Status refusedName(const char* role, QStringView name) {
    return Status::failure(QStringLiteral("The %1 \"%2\" cannot be used as a file or folder name")
                               .arg(QLatin1String(role), name));
}

Status noStorageFolder() {
    return Status::failure(QStringLiteral("No storage folder has been chosen"));
}

// folder / stem + extension, when the folder is chosen and the stem is a name a file can have.
Result<QString> namedFilePath(const QString& folder, const char* role, QStringView stem,
                              QStringView extension) {
    if (folder.isEmpty()) {
        return noStorageFolder();
    }
    if (stem.isEmpty()) {
        return Status::failure(QStringLiteral("the PAD text has no %1").arg(QLatin1String(role)));
    }
    const std::optional<QString> path = files::childFilePath(folder, stem, extension);
    if (!path) {
        return refusedName(role, stem);
    }
    return *path;
}

Result<platform::FileWrite> writeNamedFile(const QString& folder, const char* role, QStringView stem,
                                           QStringView extension, QStringView text) {
    const Result<QString> path = namedFilePath(folder, role, stem, extension);
    return path ? files::writeTextFile(path.value(), text) : path.status();
}

} // namespace

Result<QString> PagePath(const QString& storageFolder, QStringView programName,
                         const std::optional<QString>& category) {
    if (storageFolder.isEmpty()) {
        return noStorageFolder();
    }
    // A category that is empty as a whole names the storage folder itself.
    const std::optional<QString> folder =
        category && !category->isEmpty() ? files::nestedPath(storageFolder, *category) : storageFolder;
    if (!folder) {
        return refusedName("category", *category);
    }
    return namedFilePath(*folder, "program name", programName, u".html");
}

Result<QString> CheckedPagePath(const QString& storageFolder, QStringView programName,
                                const std::optional<QString>& category) {
    Result<QString> path = PagePath(storageFolder, programName, category);
    if (!path) {
        return path;
    }
    for (QString level = path.value().left(path.value().lastIndexOf(QDir::separator()));
         level.size() > storageFolder.size(); level.truncate(level.lastIndexOf(QDir::separator()))) {
        if (platform::IsLink(level)) {
            return Status::failure(
                QStringLiteral("The category folder \"%1\" is a symbolic link").arg(level));
        }
    }
    return path;
}

Result<platform::FileWrite> WritePage(const QString& storageFolder, QStringView programName,
                                      const std::optional<QString>& category, QStringView page,
                                      files::Encoding encoding) {
    const Result<QString> path = CheckedPagePath(storageFolder, programName, category);
    return path ? files::writeTextFile(path.value(), page, encoding) : path.status();
}

Result<platform::FileWrite> WritePadText(const QString& storageFolder, QStringView recordNumber,
                                         QStringView padText) {
    return writeNamedFile(storageFolder, "record number", recordNumber, u".txt", padText);
}

Result<platform::FileWrite> WriteArticle(const QString& storageFolder, QStringView programName,
                                         QStringView article) {
    return writeNamedFile(storageFolder, "program name", programName, u".txt", article);
}

} // namespace vt::pagegen
