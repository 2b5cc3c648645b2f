#include "theme/Theme.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <algorithm>

#include "files/SafePath.h"
#include "files/TextFile.h"
#include "platform/FileSystem.h"
#include "platform/FolderEntries.h"

namespace vt::theme {
namespace {

using namespace Qt::StringLiterals;

const QString BuiltInModern = u":/themes/modern"_s;
const QStringList TemplateNames = {PageTemplateName, IndexTemplateName, FeedTemplateName};

const QString NoTheme = u"The theme \"%1\" is neither classic, modern nor a folder."_s;
const QString NoPage = u"The theme \"%1\" has no page.html: a theme makes each program's page from it."_s;
const QString NotUtf8 = u"not UTF-8 text (a theme's templates are written in UTF-8)"_s;

// The bytes of a theme's files by name: the built-in ones, or those at the top of a folder.
Result<std::map<QString, QByteArray>> readFiles(const QString& folder, bool builtIn) {
    std::map<QString, QByteArray> files;
    if (builtIn) {
        for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
            QFile file(folder + u'/' + name);
            if (!file.open(QIODevice::ReadOnly)) {
                return Status::failure(file.errorString());
            }
            files[name] = file.readAll();
        }
        return files;
    }
    const auto entries =
        platform::EntriesOf(folder, platform::FileTimes::Skipped, platform::FolderLink::Followed);
    if (!entries) {
        return entries.status();
    }
    for (const platform::FolderEntry& entry : entries.value()) {
        if (entry.kind != platform::EntryKind::RegularFile || entry.name.startsWith(u'.') ||
            !files::isAcceptedName(entry.name)) {
            continue;
        }
        const QString path = files::displayPath(folder, entry.name);
        Result<QByteArray> bytes = platform::ReadRegularFile(path, files::MaxDocumentBytes);
        if (!bytes) {
            return bytes.status();
        }
        files[entry.name] = std::move(bytes).value();
    }
    return files;
}

// The offset of the first byte that is no part of well-formed UTF-8, if any: decoding puts U+FFFD
// in its place, which encodes to other bytes than it replaced.
std::optional<qsizetype> firstInvalidUtf8(const QByteArray& bytes) {
    const QByteArray again = QString::fromUtf8(bytes).toUtf8();
    const auto differ = std::mismatch(bytes.begin(), bytes.end(), again.begin(), again.end());
    return differ.first == bytes.end() && differ.second == again.end()
               ? std::nullopt
               : std::optional(qsizetype(differ.first - bytes.begin()));
}

Result<Template> parseTemplate(const QByteArray& bytes, const QString& path) {
    if (const std::optional<qsizetype> invalid = firstInvalidUtf8(bytes)) {
        return Status::failure(
            FileLineReason(path, LineOfByte(bytes.toStdString(), std::size_t(*invalid)), NotUtf8));
    }
    return Template::Parse(QString::fromUtf8(bytes), path);
}

} // namespace

Result<Theme> LoadTheme(const QString& nameOrFolder) {
    const bool builtIn = nameOrFolder == ModernThemeName;
    const QString folder = builtIn ? BuiltInModern : nameOrFolder;
    if (!builtIn && !platform::FolderExists(folder)) {
        return Status::failure(NoTheme.arg(nameOrFolder));
    }
    Result<std::map<QString, QByteArray>> read = readFiles(folder, builtIn);
    if (!read) {
        return read.status();
    }
    if (read.value().count(PageTemplateName) == 0) {
        return Status::failure(NoPage.arg(nameOrFolder));
    }
    Theme theme{nameOrFolder, {}, {}, {}};
    QCryptographicHash digest(QCryptographicHash::Sha256);
    for (const auto& [name, bytes] : read.value()) {
        digest.addData(name.toUtf8() + '\0' + QByteArray::number(bytes.size()) + '\0' + bytes);
        if (!TemplateNames.contains(name)) {
            theme.files.push_back({name, bytes});
            continue;
        }
        Result<Template> parsed = parseTemplate(bytes, builtIn ? name : files::displayPath(folder, name));
        if (!parsed) {
            return parsed.status();
        }
        theme.templates.emplace(name, std::move(parsed).value());
    }
    theme.digest = digest.result();
    return theme;
}

std::vector<ThemeFile> ModernThemeFiles() {
    // The program's own resources: they are always there to read.
    const std::map<QString, QByteArray> read = readFiles(BuiltInModern, true).value();
    std::vector<ThemeFile> files;
    for (const auto& [name, bytes] : read) {
        files.push_back({name, bytes});
    }
    return files;
}

QStringList CopyThemeFiles(const Theme& theme, const QString& folder) {
    QStringList failures;
    for (const ThemeFile& file : theme.files) {
        const QString path = files::displayPath(folder, file.name);
        if (const auto written = platform::ReplaceFile(path, file.bytes); !written) {
            failures += written.message();
        }
    }
    return failures;
}

} // namespace vt::theme
