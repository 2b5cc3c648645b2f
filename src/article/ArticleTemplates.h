#pragma once

#include <QString>

// The two article outlines. Each is a fixed text whose lines all end with CR LF; the
// placeholders in it are the ones the article fill replaces, plus "bodyXXX", "bodyXXX4" and
// "resourceXXX", which no row fills and the writer completes by hand.
namespace vt::article {

// 18 lines, 168 characters: the initial text of the article maker's work area.
const QString& ShortArticleTemplate();
// 28 lines, 304 characters: the text of the long-article window, with one body placeholder
// per description length.
const QString& LongArticleTemplate();

} // namespace vt::article
