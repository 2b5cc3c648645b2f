#pragma once

#include "files/Outcome.h"

#include <QHash>
#include <QString>

#include "platform/Browser.h"

// What a run that fetches only changed PAD files keeps of each URL it loaded, in the storage
// folder's ".vellumtide-fetch": the validators the server sent and the page or PAD text the
// record made. The file is JSON:
//   {"format": "vellumtide-fetch", "version": 1, "recipe": "<what the files were made with>",
//    "files": [{"url": "...", "etag": "...", "lastModified": "...", "file": "Foo.html"}, ...]}
namespace vt::workflow {

struct FetchedFile {
    platform::Validators validators;
    QString file; // the page or PAD text the record made, by its name in the storage folder
};

class FetchState {
public:
    // An empty state for runs into the folder that make files by the recipe: a text that changes
    // whenever what the files are made of besides the PAD file does (the template, the ad block).
    FetchState(QString folder, QString recipe);

    // The state kept in the folder by an earlier run of the same recipe; why there is none when
    // the file is missing, unreadable, not whole, or kept for another recipe.
    static Result<FetchState> Read(const QString& folder, const QString& recipe);
    Status write() const;

    // What an earlier run made of the address, while that file is still a file of the folder.
    const FetchedFile* find(const QString& address) const;
    void keep(const QString& address, FetchedFile made);
    void forget(const QString& address) { m_files.remove(address); }
    // The validators to load the address with: those of its file, or none.
    platform::Validators conditionsFor(const QString& address) const;

private:
    QString m_folder;
    QString m_recipe;
    QHash<QString, FetchedFile> m_files;
};

} // namespace vt::workflow
