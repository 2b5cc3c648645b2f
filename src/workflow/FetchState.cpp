#include "workflow/FetchState.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "files/SafePath.h"
#include "files/TextFile.h"
#include "platform/FileSystem.h"

namespace vt::workflow {
namespace {

using namespace Qt::StringLiterals;

const QString Format = u"vellumtide-fetch"_s;
constexpr int Version = 1;
// The state of 30,000 URLs takes some 5 MB; anything far larger is no state of ours.
constexpr qint64 MaxStateBytes = qint64(64) * 1024 * 1024;

QString statePath(const QString& folder) {
    return files::displayPath(folder, platform::FetchStateFileName);
}

} // namespace

FetchState::FetchState(QString folder, QString recipe)
    : m_folder(std::move(folder))
    , m_recipe(std::move(recipe)) {}

Result<FetchState> FetchState::Read(const QString& folder, const QString& recipe) {
    const QString path = statePath(folder);
    if (!platform::StampOf(path)) {
        return Status::failure(u"\"%1\" does not exist"_s.arg(path));
    }
    const Result<QByteArray> bytes = platform::ReadRegularFile(path, MaxStateBytes);
    if (!bytes) {
        return bytes.status();
    }
    QJsonParseError error{};
    const QJsonObject top = QJsonDocument::fromJson(bytes.value(), &error).object();
    if (error.error != QJsonParseError::NoError || top.value(u"format"_s).toString() != Format ||
        top.value(u"version"_s).toInt() != Version) {
        return Status::failure(u"\"%1\" is not a whole fetch state of this program"_s.arg(path));
    }
    if (top.value(u"recipe"_s).toString() != recipe) {
        return Status::failure(
            u"the files in \"%1\" were made with another template, ad block or mode"_s.arg(folder));
    }
    FetchState state(folder, recipe);
    for (const QJsonValue& each : top.value(u"files"_s).toArray()) {
        const QJsonObject entry = each.toObject();
        state.keep(entry.value(u"url"_s).toString(),
                   {{entry.value(u"etag"_s).toString(), entry.value(u"lastModified"_s).toString()},
                    entry.value(u"file"_s).toString()});
    }
    return state;
}

Status FetchState::write() const {
    // In the order of the addresses, so that a run that changed nothing leaves the same bytes.
    QStringList addresses = m_files.keys();
    addresses.sort();
    QJsonArray entries;
    for (const QString& address : addresses) {
        const FetchedFile& made = m_files[address];
        entries.append(QJsonObject{{u"url"_s, address},
                                   {u"etag"_s, made.validators.etag},
                                   {u"lastModified"_s, made.validators.lastModified},
                                   {u"file"_s, made.file}});
    }
    const QJsonObject top{
        {u"format"_s, Format}, {u"version"_s, Version}, {u"recipe"_s, m_recipe}, {u"files"_s, entries}};
    const auto written =
        platform::ReplaceFile(statePath(m_folder), QJsonDocument(top).toJson(QJsonDocument::Compact));
    return written.status();
}

const FetchedFile* FetchState::find(const QString& address) const {
    const auto found = m_files.constFind(address);
    if (found == m_files.cend()) {
        return nullptr;
    }
    // Only a name of the folder itself, as the record made it, and never one a link took over.
    const std::optional<QString> path = files::childPath(m_folder, found->file);
    if (!path || platform::IsLink(*path)) {
        return nullptr;
    }
    const std::optional<platform::EntryStamp> stamp = platform::StampOf(*path);
    return stamp && !stamp->folder ? &*found : nullptr;
}

void FetchState::keep(const QString& address, FetchedFile made) {
    if (made.validators.isEmpty() || made.file.isEmpty()) {
        m_files.remove(address); // nothing to ask the server with next time
        return;
    }
    m_files.insert(address, std::move(made));
}

platform::Validators FetchState::conditionsFor(const QString& address) const {
    const FetchedFile* made = find(address);
    return made ? made->validators : platform::Validators();
}

} // namespace vt::workflow
