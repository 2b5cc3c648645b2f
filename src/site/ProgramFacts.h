#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include "site/PageTree.h"

// What an index shows of a program beside its page: read from the PAD texts the pages were made
// from, by the fill's own field extraction, each text matched to its page as the category run
// names it.
namespace vt::site {

struct ProgramFacts {
    QString version;
    QString description;
    // What a theme's index makes its values of: the IndexElements, by tag name, as the text holds them.
    QHash<QString, QString> elements;
};

inline const QStringList IndexElements = {
    QStringLiteral("Char_Desc_45"),          QStringLiteral("Char_Desc_80"),
    QStringLiteral("Char_Desc_250"),         QStringLiteral("Program_Release_Year"),
    QStringLiteral("Program_Release_Month"), QStringLiteral("Program_Release_Day"),
    QStringLiteral("Application_Icon_URL")};

// The facts of every page the numbered PAD texts (<n>.txt) of the folder would make in the page
// folder (its Category folder, or in the flat layout the folder itself), by the page's path. In the
// category layout the texts are read where the category run leaves them: in the folder itself and
// in its numbered subfolders (0, 1, ...), in the order the run makes their pages, so the later of
// two texts with one page gives its facts; in the flat layout only the folder's own texts are read,
// each matched to <program>.html. A text that cannot be read, or names no page, gives none; a link
// is never read through.
QHash<QString, ProgramFacts> ReadProgramFacts(const QString& padTextFolder, const QString& pageFolder,
                                              Layout layout);

} // namespace vt::site
