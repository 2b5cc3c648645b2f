#pragma once

#include "files/Outcome.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

#include "platform/Browser.h"

// What a run that fetches only changed PAD files keeps of each URL it loaded, in the storage
// folder's ".vellumtide-fetch": the validators the server sent, and the page or PAD text the
// record made with its size and SHA-256, so that a 304 keeps a file only while it holds exactly
// what this URL made. The file is JSON:
//   {"format": "vellumtide-fetch", "version": 2, "recipe": "<what the files were made with>",
//    "files": [{"url": "...", "etag": "...", "lastModified": "...", "file": "Foo.html",
//               "size": 4096, "sha256": "<hex>"}, ...]}
namespace vt::fetch {

struct MadeFile {
    platform::Validators validators;
    QString file;    // the page or PAD text the record made, by its name in the storage folder
    qint64 size = 0; // and the bytes it held then
    QByteArray sha256;
};

class FetchState {
public:
    // An empty state for runs into the folder that make files by the recipe (see Recipe.h).
    FetchState(QString folder, QString recipe);

    // The state kept in the folder by an earlier run of the same recipe; why there is none when
    // the file is missing, no regular file, unreadable, not whole, or kept for another recipe.
    static Result<FetchState> Read(const QString& folder, const QString& recipe);
    // Saves what this run made or kept, and only that, once every file it names is durable.
    Status write() const;

    // The validators to load the address with: those of the file the last run made for it, while
    // that is still a regular file of the folder; none otherwise.
    platform::Validators conditionsFor(const QString& address) const;
    // After a 304 to the address: the file the last run made for it, when it still holds exactly
    // those bytes (and has the name required, when one is), now kept by this run with the
    // validators of the answer merged in; nothing when the PAD file must be loaded in full.
    std::optional<QString> keepUnchanged(const QString& address, const platform::Validators& answered,
                                         const QString& requiredName = QString());
    // The record of the address made its file from a full load.
    void made(const QString& address, const platform::Validators& sent, const QString& file);
    // The record of the address failed: what an earlier run made for it stays as it was.
    void failed(const QString& address);
    // The address is loaded again without validators.
    void forget(const QString& address) { m_last.remove(address); }

private:
    // Keeps the file for the address; no other address names that file any more.
    void record(const QString& address, MadeFile made);

    QString m_folder;
    QString m_recipe;
    QHash<QString, MadeFile> m_last; // what the earlier run kept
    QHash<QString, MadeFile> m_now;  // what this run made or kept
};

} // namespace vt::fetch
