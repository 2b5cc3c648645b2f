#pragma once

#include <QHash>
#include <QString>

// What an index shows of a program beside its page: read from the PAD texts the pages were made
// from, by the fill's own field extraction, each text matched to its page as the category run
// names it.
namespace vt::site {

struct ProgramFacts {
    QString version;
    QString description;
};

// The facts of every page the numbered PAD texts (<n>.txt) of the folder would make below the
// Category folder, by the page's path. The texts are read where the category run leaves them: in
// the folder itself and in its numbered subfolders (0, 1, ...), in the order the run makes their
// pages, so the later of two texts with one page gives its facts. A text that cannot be read, or
// names no page, gives none; a link is never read through.
QHash<QString, ProgramFacts> ReadProgramFacts(const QString& padTextFolder, const QString& categoryFolder);

} // namespace vt::site
