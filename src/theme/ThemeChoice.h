#pragma once

#include "files/Outcome.h"

#include <QString>

#include <optional>

#include "pagegen/PageTheme.h"
#include "site/IndexPages.h"

// The theme the windows make pages and index pages with, kept in the settings store between runs
// and read again for each run, so that edits of a theme folder show in the next one.
namespace vt::theme {

// "classic" (the template fill, as when nothing was chosen), "modern", or a theme folder.
QString ChosenTheme();
void KeepChosenTheme(const QString& nameOrFolder);

// The chosen theme's pages, for the site at the address Make Index Pages was last given (none
// given: the values that need it are absent); none for classic. Refused, with the reason, when the
// theme cannot be used.
Result<std::optional<pagegen::PageTheme>> ChosenPageTheme();
// The chosen theme's index pages and feed; none for classic. Refused when it cannot be used.
Result<std::optional<site::IndexTheme>> ChosenIndexTheme();

} // namespace vt::theme
