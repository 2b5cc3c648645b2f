#include "site/IndexMenu.h"

#include "files/TextFile.h"
#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "site/IndexPages.h"
#include "site/SiteAddress.h"

namespace vt::site {
namespace {

using namespace Qt::StringLiterals;
using platform::MessageButtons;
using platform::MessageIcon;

const QString SettingsSection = u"Index Pages"_s;
const QString SiteUrlKey = u"Site URL"_s;
const QString TemplateKey = u"Index Template"_s;
const QString TemplateFilter = u"HTML Files (*.html) | *.html"_s;

const QString NoFolderMessage =
    u"Choose the PAD text folder whose Category folder holds the pages first: tick \"Make web pages from PAD "
    "text files\" and click the \"...\" button beside the yellow box."_s;
const QString SiteUrlPrompt =
    u"The address the folder is published at, such as https://www.example.com\r\n\r\nIndex pages and "
    "sitemap.xml are written into the Category folder of %1 and every category folder in it, or, when it "
    "has none, index.html and sitemap.xml into %1 itself, for the pages there, with %2."_s;
const QString HowPagesAreMade =
    u"\"Make Web Pages and Sort by Category\" to file them by category, or the batch "
    "button with this folder as the storage folder"_s;
const QString DefaultTemplateNamed = u"the default index template"_s;
const QString ChosenTemplateNamed = u"the index template %1"_s;
const QString ThemeNamed = u"the theme %1"_s;
const QString UnusableTemplateMessage =
    u"No index page was written: the chosen index template cannot be used.\r\n\r\n%1\r\n\r\nChoose another "
    "with \"Choose Index Template...\" in the Show Templates menu, or go back to \"Use Default Index "
    "Template\"."_s;
const QString NotTemplateMessage =
    u"The file cannot be used as the index template; the one used stays as it was.\r\n\r\n%1"_s;

// The template file's text, refused with the reason when it cannot be read or is no index template.
Result<QString> templateText(const QString& file) {
    const Result<QString> text = files::readTextFile(file);
    if (!text) {
        return text.status();
    }
    if (const Result<IndexTemplate> parsed = IndexTemplate::parse(text.value(), file); !parsed) {
        return parsed.status();
    }
    return text;
}

} // namespace

void MakeIndexPagesFromMenu(const QString& padTextFolder, platform::Dialogs& dialogs,
                            const std::function<bool()>& goesOn, std::optional<IndexTheme> theme) {
    if (padTextFolder.isEmpty()) {
        dialogs.message(NoFolderMessage, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    IndexRequest request{padTextFolder, QString()};
    request.howPagesAreMade = HowPagesAreMade;
    QString templateNamed = theme ? ThemeNamed.arg(theme->source) : DefaultTemplateNamed;
    request.theme = std::move(theme);
    if (const QString file = platform::ReadSetting(platform::ApplicationTitle, SettingsSection, TemplateKey);
        !request.theme && !file.isEmpty()) {
        const Result<QString> text = templateText(file);
        if (!text) {
            dialogs.message(UnusableTemplateMessage.arg(text.message()), MessageButtons::Ok,
                            MessageIcon::Exclamation);
            return;
        }
        request.indexTemplate = text.value();
        request.templateSource = file;
        templateNamed = ChosenTemplateNamed.arg(file);
    }
    const std::optional<QString> siteUrl =
        dialogs.askText(SiteUrlPrompt.arg(padTextFolder, templateNamed), KeptSiteUrl());
    if (!siteUrl) {
        return;
    }
    if (const Result<QString> address = SiteAddress(*siteUrl); !address) {
        dialogs.message(address.message(), MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    platform::SaveSetting(platform::ApplicationTitle, SettingsSection, SiteUrlKey, siteUrl->trimmed());
    request.siteUrl = *siteUrl;
    const Result<IndexRun> run = MakeIndexPages(request, goesOn);
    if (!run) {
        dialogs.message(run.message(), MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    const QString failures = FailuresText(run.value());
    dialogs.message(
        failures.isEmpty() ? DoneText(run.value()) : DoneText(run.value()) + u"\r\n\r\n"_s + failures,
        MessageButtons::Ok, failures.isEmpty() ? MessageIcon::Information : MessageIcon::Exclamation);
}

QString KeptSiteUrl() {
    return platform::ReadSetting(platform::ApplicationTitle, SettingsSection, SiteUrlKey);
}

void ChooseIndexTemplateFromMenu(platform::Dialogs& dialogs) {
    const std::optional<QString> file = dialogs.openFile(TemplateFilter);
    if (!file) {
        return;
    }
    if (const Result<QString> text = templateText(*file); !text) {
        dialogs.message(NotTemplateMessage.arg(text.message()), MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    platform::SaveSetting(platform::ApplicationTitle, SettingsSection, TemplateKey, *file);
}

void UseDefaultIndexTemplateFromMenu() {
    platform::SaveSetting(platform::ApplicationTitle, SettingsSection, TemplateKey, QString());
}

} // namespace vt::site
