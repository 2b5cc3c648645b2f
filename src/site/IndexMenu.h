#pragma once

#include <QString>

#include <functional>

namespace vt::platform {
class Dialogs;
}

namespace vt::site {

// "Make Index Pages" of the main window: asks the site's URL (offering the one used last, kept in
// the settings store), then makes the index pages and the sitemap of the PAD text folder with the
// default index template (of its Category folder, or of its own pages when it has none), and shows
// how it went. goesOn is asked before each index page.
void MakeIndexPagesFromMenu(const QString& padTextFolder, platform::Dialogs& dialogs,
                            const std::function<bool()>& goesOn);

} // namespace vt::site
