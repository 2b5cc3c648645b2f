#pragma once

#include <QString>

// What the files of a conditional re-run were made with besides the PAD files: a file kept on a
// 304 is only as good as the template, ad block and program that made it.
namespace vt::fetch {

// A page: the program's version, the template, the ad block and whether values were escaped.
QString PagesRecipe(const QString& pageTemplate, const QString& adBlock, bool escapeMarkup);
// A stored PAD text: the program's version.
QString TextsRecipe();

} // namespace vt::fetch
