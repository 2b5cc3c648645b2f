#pragma once

#include <QString>

// The texts every run starts from: the web page template (its working copy and master copy
// start equal) and the ad code block that replaces "GoogleAdsenseXXX".
namespace vt::pagegen {

// The sample image the default template links; filling the screenshot row replaces it.
inline const QString SampleScreenshotUrl =
    QStringLiteral("https://www.example.com/images/sample-screenshot.jpg");

// 81 lines, each ending with CR LF.
const QString& DefaultPageTemplate();
// 17 lines, each ending with CR LF.
const QString& DefaultAdBlock();

} // namespace vt::pagegen
