#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "site/IndexPages.h"

namespace vt::platform {
class Dialogs;
}

namespace vt::site {

// "Make Index Pages" of the main window: asks the site's URL (offering the one used last, kept in
// the settings store), then makes the index pages and the sitemap of the PAD text folder (of its
// Category folder, or of its own pages when it has none) with the index template the user chose,
// or the default one, and shows how it went. A chosen template that cannot be read or used is
// named in a message, and nothing is written. goesOn is asked before each index page.
// With a theme, its index pages and feed instead of the template's.
void MakeIndexPagesFromMenu(const QString& padTextFolder, platform::Dialogs& dialogs,
                            const std::function<bool()>& goesOn, std::optional<IndexTheme> theme);

// The site URL Make Index Pages was last given ("" before the first), which the pages of a theme
// link their own addresses with.
QString KeptSiteUrl();

// "Choose Index Template...": an index template file picked in the open-file dialog, kept in the
// settings store for every later "Make Index Pages" once it reads as a template; one that does not
// is named in a message, and the template used stays as it was.
void ChooseIndexTemplateFromMenu(platform::Dialogs& dialogs);
// "Use Default Index Template": forgets the chosen file.
void UseDefaultIndexTemplateFromMenu();

} // namespace vt::site
