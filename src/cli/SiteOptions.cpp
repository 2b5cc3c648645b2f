#include "cli/SiteOptions.h"

#include "cli/CommandLine.h"
#include "cli/OptionNames.h"
#include "cli/Session.h"
#include "platform/FileSystem.h"
#include "site/SiteAddress.h"
#include "theme/ThemePages.h"

namespace vt::cli {

using workflow::TemplateText;

QString checkSiteUrl(const Arguments& arguments) {
    if (!arguments.has(option::SiteUrl)) {
        return QString();
    }
    const Result<QString> address = site::SiteAddress(arguments.value(option::SiteUrl));
    return address ? QString() : address.message();
}

Result<std::shared_ptr<const theme::Theme>> applyTheme(Session& session, const Arguments& arguments) {
    const QString name = arguments.value(option::Theme);
    if (!arguments.has(option::Theme) || name == theme::ClassicThemeName) {
        return std::shared_ptr<const theme::Theme>();
    }
    Result<theme::Theme> loaded = theme::LoadTheme(name);
    if (!loaded) {
        session.console().message(loaded.message());
        return loaded.status();
    }
    auto chosen = std::make_shared<const theme::Theme>(std::move(loaded).value());
    theme::SiteValues site;
    if (arguments.has(option::SiteUrl)) {
        site.siteUrl = site::SiteAddress(arguments.value(option::SiteUrl)).value();
    }
    if (arguments.has(option::AdBlock)) {
        site.adBlock = session.workflow().templateText(TemplateText::AdBlock);
    }
    session.workflow().setPageTheme(theme::PageThemeOf(chosen, site));
    return chosen;
}

ExitCode copyThemeFiles(Console& console, const std::shared_ptr<const theme::Theme>& theme,
                        const QString& folder, ExitCode made) {
    if (!theme || made == ExitCode::Refused || !platform::FolderExists(folder)) {
        return made;
    }
    const QStringList failures = theme::CopyThemeFiles(*theme, folder);
    for (const QString& failure : failures) {
        console.message(failure);
    }
    return failures.isEmpty() || made != ExitCode::Done ? made : ExitCode::RecordsFailed;
}

} // namespace vt::cli
