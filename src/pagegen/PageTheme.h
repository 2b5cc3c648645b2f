#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

namespace vt::pagegen {

// A way of making pages other than the template fill: a theme renders the whole page of a PAD text
// for the program's name and, in category mode, its category (the names the fill read, which still
// name the page's file and folder). Its pages are written in UTF-8.
struct PageTheme {
    std::function<QString(QStringView padText, const QString& programName,
                          const std::optional<QString>& category)>
        render;
    QString recipe; // what its pages are made with besides the PAD text, for the fetch state
    // The theme's other files (a style sheet, images) written to the top of the site: each failure.
    std::function<QStringList(const QString& folder)> copyFiles;
};

} // namespace vt::pagegen
