#include "pagegen/TemplateDefaults.h"

#include <initializer_list>

namespace vt::pagegen {
namespace {

const QString AdScriptUrl = QStringLiteral("https://pagead2.googlesyndication.com/pagead/show_ads.js");

// The ad variables script shared by the ad block and the fixed ad unit at the foot of the page.
QString adVariableLines() {
    return JoinLines({
        QStringLiteral("google_ad_client = \"pub-7301926458203317\";"),
        QStringLiteral("google_ad_width = 728;"),
        QStringLiteral("google_ad_height = 90;"),
        QStringLiteral("google_ad_format = \"728x90_as\";"),
        QStringLiteral("google_ad_type = \"text_image\";"),
        QStringLiteral("google_ad_channel =\"\";"),
        QStringLiteral("google_page_url = document.location;"),
        QStringLiteral("google_color_border = \"CCCCCC\";"),
        QStringLiteral("google_color_bg = \"FFFFFF\";"),
        QStringLiteral("google_color_link = \"000000\";"),
        QStringLiteral("google_color_url = \"666666\";"),
        QStringLiteral("google_color_text = \"333333\";"),
        QStringLiteral("//--></script>"),
    });
}

// The ad unit with the given indent before its three outer script tags.
QString adUnit(const QString& indent) {
    return JoinLines({indent + QStringLiteral("<script type=\"text/javascript\"><!--")}) + adVariableLines() +
           JoinLines({
               indent + QStringLiteral("<script type=\"text/javascript\""),
               QStringLiteral("  src=\"") + AdScriptUrl + QStringLiteral("\">"),
               indent + QStringLiteral("</script>"),
           });
}

QString pageTemplate() {
    const QString head = JoinLines({
        QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\""),
        QStringLiteral("\"http://www.w3.org/TR/html4/loose.dtd\">"),
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral("<title>PageTitleXXX</title>"),
        QStringLiteral("<META name=\"keywords\" content=\"PageKeywordsXXX\">"),
        QStringLiteral("<META name=\"Description\" content=\"PageDescriptionXXX\">"),
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"),
        QStringLiteral("<style type=\"text/css\">"),
        QStringLiteral("<!--"),
        QStringLiteral("body,td,th {"),
        QStringLiteral("\tfont-family: Verdana;"),
        QStringLiteral("\tfont-size: 10px;"),
        QStringLiteral("}"),
        QStringLiteral("body {"),
        QStringLiteral("\tmargin-left: 250px;"),
        QStringLiteral("\tmargin-top: 50px;"),
        QStringLiteral("\tmargin-right: 250px;"),
        QStringLiteral("\tmargin-bottom: 50px;"),
        QStringLiteral("}"),
        QStringLiteral(".style2 {font-size: x-large}"),
        QStringLiteral(".style5 {font-size: 24}"),
        QStringLiteral(".style8 {font-size: medium}"),
        QStringLiteral("-->"),
        QStringLiteral("</style></head>"),
        QString(),
    });
    const QString body = JoinLines({
        QStringLiteral("<body>"),
        QStringLiteral("<div align=\"center\">"),
        QStringLiteral("  <h1>ProgramNameXXX</h1>"),
        QStringLiteral("  <h1>DescriptionXXX</h1>"),
        QStringLiteral("  <p><a href=\"") + SampleScreenshotUrl +
            QStringLiteral("\" target=\"_blank\"><img src=\"") + SampleScreenshotUrl + QStringLiteral("\" "),
        QStringLiteral("width=\"300\" height=\"261\" border=\"0\"></a></p>"),
        QStringLiteral("  <p>&nbsp;</p>"),
        QStringLiteral("  <h2 align=\"center\">GoogleAdsenseXXX<span class=\"style2\">&nbsp;</span></h2>"),
        QStringLiteral("  <p align=\"center\" class=\"style8\">&nbsp;</p>"),
        QStringLiteral("  <p align=\"justify\">Description (80 words): desc80XXX</p>"),
        QStringLiteral("  <p align=\"justify\">Description (250 words): desc250XXX</p>"),
        QStringLiteral("  <p align=\"justify\">Description (450 words): desc450XXX</p>"),
        QStringLiteral("  <p align=\"justify\">Description (2000 words): desc2000XXX</p>"),
        QStringLiteral("  <p align=\"center\" class=\"style2\">&nbsp;</p>"),
        QStringLiteral("  <p align=\"center\">GoogleAdsenseXXX<span class=\"style2\">&nbsp;</span></p>"),
        QStringLiteral("  <p align=\"center\" class=\"style8\">&nbsp;</p>"),
        QStringLiteral("  <p align=\"center\">Download: <a href=\"DOWNLOADurlXXX\">DOWNLOADurlXXX</a></p>"),
        QStringLiteral("  <p align=\"center\">Application Info: <a href=\"APPinfoXXX\">APPinfoXXX</a></p>"),
        QStringLiteral(
            "  <p align=\"center\">Application Order: <a href=\"APPorderXXX\">APPorderXXX</a> </p>"),
        QStringLiteral("  <p align=\"center\">Category: CategoryXXX</p>"),
        QStringLiteral("  <p align=\"left\">&nbsp;</p>"),
        QStringLiteral("  <p align=\"center\">    GoogleAdsenseXXX<span class=\"style8\"> &nbsp;</span></p>"),
        QStringLiteral("  <p align=\"left\" class=\"style8\">&nbsp; </p>"),
        QStringLiteral(
            "  <p align=\"center\">Company Website: <a href=\"CompanyURLXXX\">CompanyURLXXX</a> </p>"),
        QStringLiteral("  <p align=\"center\">Author Email: AuthorEmailXXX </p>"),
        QStringLiteral("  <p align=\"justify\">&nbsp;</p>"),
        QStringLiteral("  <p align=\"justify\">Keywords: KeywordsXXX</p>"),
        QStringLiteral("  <p align=\"justify\">&nbsp; </p>"),
        QStringLiteral("  <p align=\"left\">&nbsp;</p>"),
        QStringLiteral("  <p align=\"left\" class=\"style8\">&nbsp;</p>"),
        QStringLiteral("  <p align=\"left\" class=\"style5\">&nbsp;</p>"),
        QStringLiteral("  <p align=\"left\" class=\"style5\">&nbsp;   </p>"),
        QStringLiteral("  <p align=\"center\" class=\"style5\">"),
    });
    const QString foot = JoinLines({
        QStringLiteral("  &nbsp;</p>"),
        QStringLiteral("  <p align=\"left\" class=\"style5\">&nbsp;</p>"),
        QStringLiteral("</div>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    });
    return head + body + adUnit(QStringLiteral("    ")) + foot;
}

} // namespace

QString JoinLines(std::initializer_list<QStringView> lines) {
    QString text;
    for (const QStringView line : lines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

const QString& DefaultPageTemplate() {
    static const QString text = pageTemplate();
    return text;
}

const QString& DefaultAdBlock() {
    static const QString text = adUnit(QString());
    return text;
}

} // namespace vt::pagegen
