#include "fetch/FetchState.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "fetch/Validators.h"
#include "files/SafePath.h"
#include "platform/FileSystem.h"

namespace vt::fetch {
namespace {

using namespace Qt::StringLiterals;

const QString Format = u"vellumtide-fetch"_s;
constexpr int Version = 2;
// The state of 30,000 URLs takes some 8 MB; anything far larger is no state of ours.
constexpr qint64 MaxStateBytes = qint64(64) * 1024 * 1024;
constexpr qsizetype Sha256HexLength = 64;
// A page is cut off at 64 Mi characters, which its code page writes in at most four times as many
// bytes; a file larger than that is none the program made.
constexpr qint64 MaxMadeFileBytes = qint64(256) * 1024 * 1024;

QString statePath(const QString& folder) {
    return files::displayPath(folder, platform::FetchStateFileName);
}

QByteArray sha256Of(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The bytes of a file of the folder by its name, never read through a link; at most maxBytes.
std::optional<QByteArray> bytesOf(const QString& folder, const QString& name, qint64 maxBytes) {
    const std::optional<QString> path = files::childPath(folder, name);
    if (!path || platform::IsLink(*path)) {
        return std::nullopt;
    }
    Result<QByteArray> bytes = platform::ReadRegularFile(*path, maxBytes);
    return bytes ? std::optional<QByteArray>(std::move(bytes).value()) : std::nullopt;
}

// An entry of the file as this program writes it; nothing for one that is not.
std::optional<std::pair<QString, MadeFile>> entryOf(const QJsonObject& entry) {
    MadeFile made{Cleaned({entry.value(u"etag"_s).toString(), entry.value(u"lastModified"_s).toString()}),
                  entry.value(u"file"_s).toString(), qint64(entry.value(u"size"_s).toDouble(-1)),
                  entry.value(u"sha256"_s).toString().toLatin1()};
    const QString address = entry.value(u"url"_s).toString();
    const bool whole = !address.isEmpty() && !made.validators.isEmpty() && made.size >= 0 &&
                       made.sha256.size() == Sha256HexLength &&
                       files::childPath(u"."_s, made.file).has_value();
    return whole ? std::optional(std::pair(address, std::move(made))) : std::nullopt;
}

} // namespace

FetchState::FetchState(QString folder, QString recipe)
    : m_folder(std::move(folder))
    , m_recipe(std::move(recipe)) {}

Result<FetchState> FetchState::Read(const QString& folder, const QString& recipe) {
    const QString path = statePath(folder);
    if (!platform::StampOf(path) && !platform::IsLink(path)) {
        return Status::failure(u"\"%1\" does not exist"_s.arg(path));
    }
    if (platform::IsLink(path)) {
        return Status::failure(u"\"%1\" is a symbolic link"_s.arg(path));
    }
    const Result<QByteArray> bytes = platform::ReadRegularFile(path, MaxStateBytes);
    if (!bytes) {
        return bytes.status();
    }
    QJsonParseError error{};
    const QJsonObject top = QJsonDocument::fromJson(bytes.value(), &error).object();
    if (error.error != QJsonParseError::NoError || top.value(u"format"_s).toString() != Format) {
        return Status::failure(u"\"%1\" is not a whole fetch state of this program"_s.arg(path));
    }
    if (top.value(u"version"_s).toInt() != Version) {
        return Status::failure(u"\"%1\" was kept by another version of this program"_s.arg(path));
    }
    if (top.value(u"recipe"_s).toString() != recipe) {
        return Status::failure(u"the files in \"%1\" were made with another template, ad block, mode or "
                               "version of this program"_s.arg(folder));
    }
    FetchState state(folder, recipe);
    for (const QJsonValue& each : top.value(u"files"_s).toArray()) {
        if (std::optional<std::pair<QString, MadeFile>> entry = entryOf(each.toObject())) {
            state.m_last.insert(entry->first, std::move(entry->second));
        }
    }
    return state;
}

Status FetchState::write() const {
    // The state names only bytes that are on the disk.
    Status durable = platform::SyncWrittenFolders();
    // In the order of the addresses, so that a run that changed nothing leaves the same bytes.
    QStringList addresses = m_now.keys();
    addresses.sort();
    QJsonArray entries;
    for (const QString& address : addresses) {
        const MadeFile& made = m_now[address];
        entries.append(QJsonObject{{u"url"_s, address},
                                   {u"etag"_s, made.validators.etag},
                                   {u"lastModified"_s, made.validators.lastModified},
                                   {u"file"_s, made.file},
                                   {u"size"_s, double(made.size)},
                                   {u"sha256"_s, QString::fromLatin1(made.sha256)}});
    }
    const QJsonObject top{
        {u"format"_s, Format}, {u"version"_s, Version}, {u"recipe"_s, m_recipe}, {u"files"_s, entries}};
    const auto written =
        platform::ReplaceFile(statePath(m_folder), QJsonDocument(top).toJson(QJsonDocument::Compact));
    const Status stateDurable = platform::SyncWrittenFolders();
    if (!written) {
        return written.status();
    }
    return durable ? stateDurable : durable;
}

platform::Validators FetchState::conditionsFor(const QString& address) const {
    const auto found = m_last.constFind(address);
    if (found == m_last.cend()) {
        return {};
    }
    const std::optional<QString> path = files::childPath(m_folder, found->file);
    const std::optional<platform::EntryStamp> stamp = path ? platform::StampOf(*path) : std::nullopt;
    return stamp && !stamp->folder && stamp->size == found->size && !platform::IsLink(*path)
               ? found->validators
               : platform::Validators();
}

std::optional<QString> FetchState::keepUnchanged(const QString& address, const platform::Validators& answered,
                                                 const QString& requiredName) {
    const auto found = m_last.constFind(address);
    if (found == m_last.cend() || (!requiredName.isEmpty() && found->file != requiredName)) {
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = bytesOf(m_folder, found->file, found->size);
    if (!bytes || bytes->size() != found->size || sha256Of(*bytes) != found->sha256) {
        return std::nullopt;
    }
    MadeFile kept = *found;
    kept.validators = AfterNotModified(kept.validators, answered);
    const QString file = kept.file;
    record(address, std::move(kept));
    return file;
}

void FetchState::made(const QString& address, const platform::Validators& sent, const QString& file) {
    m_last.remove(address);
    const platform::Validators validators = Cleaned(sent);
    const std::optional<QByteArray> bytes = bytesOf(m_folder, file, MaxMadeFileBytes);
    if (validators.isEmpty() || !bytes) {
        m_now.remove(address); // nothing to ask the server with next time, or no file to keep
        return;
    }
    record(address, {validators, file, bytes->size(), sha256Of(*bytes)});
}

void FetchState::failed(const QString& address) {
    const auto found = m_last.constFind(address);
    if (found != m_last.cend()) {
        record(address, *found);
    }
}

void FetchState::record(const QString& address, MadeFile made) {
    for (QHash<QString, MadeFile>* entries : {&m_last, &m_now}) {
        entries->removeIf([&](const QHash<QString, MadeFile>::iterator& entry) {
            return entry.key() != address && entry->file == made.file;
        });
    }
    m_now.insert(address, std::move(made));
}

} // namespace vt::fetch
