#include "site/IndexMenu.h"

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

const QString NoFolderMessage =
    u"Choose the PAD text folder whose Category folder holds the pages first: tick \"Make web pages from PAD "
    "text files\" and click the \"...\" button beside the yellow box."_s;
const QString SiteUrlPrompt =
    u"The address the folder is published at, such as https://www.example.com\r\n\r\nIndex pages and "
    "sitemap.xml are written into the Category folder of %1 and every category folder in it, or, when it "
    "has none, index.html and sitemap.xml into %1 itself, for the pages there."_s;

} // namespace

void MakeIndexPagesFromMenu(const QString& padTextFolder, platform::Dialogs& dialogs,
                            const std::function<bool()>& goesOn) {
    if (padTextFolder.isEmpty()) {
        dialogs.message(NoFolderMessage, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    const QString remembered = platform::ReadSetting(platform::ApplicationTitle, SettingsSection, SiteUrlKey);
    const std::optional<QString> siteUrl = dialogs.askText(SiteUrlPrompt.arg(padTextFolder), remembered);
    if (!siteUrl) {
        return;
    }
    if (const Result<QString> address = SiteAddress(*siteUrl); !address) {
        dialogs.message(address.message(), MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    platform::SaveSetting(platform::ApplicationTitle, SettingsSection, SiteUrlKey, siteUrl->trimmed());
    const Result<IndexRun> run = MakeIndexPages({padTextFolder, *siteUrl}, goesOn);
    if (!run) {
        dialogs.message(run.message(), MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    const QString failures = FailuresText(run.value());
    dialogs.message(
        failures.isEmpty() ? DoneText(run.value()) : DoneText(run.value()) + u"\r\n\r\n"_s + failures,
        MessageButtons::Ok, failures.isEmpty() ? MessageIcon::Information : MessageIcon::Exclamation);
}

} // namespace vt::site
