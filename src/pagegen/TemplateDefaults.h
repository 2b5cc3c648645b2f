#pragma once

#include <QString>
#include <QStringView>

#include <initializer_list>

// The texts every run starts from: the web page template (its working copy and master copy
// start equal) and the ad code block that replaces "GoogleAdsenseXXX".
namespace vt::pagegen {

// The sample image the default template links; filling the screenshot row replaces it.
inline const QString SampleScreenshotUrl =
    QStringLiteral("https://www.example.com/images/sample-screenshot.jpg");

// The lines, each followed by CR LF, as every template text of the system ends its lines.
QString JoinLines(std::initializer_list<QStringView> lines);

// 81 lines, each ending with CR LF.
const QString& DefaultPageTemplate();
// 17 lines, each ending with CR LF.
const QString& DefaultAdBlock();

} // namespace vt::pagegen
