#include "theme/ThemeChoice.h"

#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "site/IndexMenu.h"
#include "site/SiteAddress.h"
#include "theme/ThemePages.h"

namespace vt::theme {
namespace {

using namespace Qt::StringLiterals;

const QString OptionsSection = u"Options"_s;
const QString ThemeKey = u"Theme"_s;

// The chosen theme read and parsed; none for classic.
Result<std::shared_ptr<const Theme>> loadChosen() {
    const QString chosen = ChosenTheme();
    if (chosen == ClassicThemeName) {
        return std::shared_ptr<const Theme>();
    }
    Result<Theme> loaded = LoadTheme(chosen);
    if (!loaded) {
        return loaded.status();
    }
    return std::make_shared<const Theme>(std::move(loaded).value());
}

} // namespace

QString ChosenTheme() {
    const QString kept = platform::ReadSetting(platform::ApplicationTitle, OptionsSection, ThemeKey);
    return kept.isEmpty() ? ClassicThemeName : kept;
}

void KeepChosenTheme(const QString& nameOrFolder) {
    platform::SaveSetting(platform::ApplicationTitle, OptionsSection, ThemeKey, nameOrFolder);
}

Result<std::optional<pagegen::PageTheme>> ChosenPageTheme() {
    const Result<std::shared_ptr<const Theme>> theme = loadChosen();
    if (!theme) {
        return theme.status();
    }
    if (!theme.value()) {
        return std::optional<pagegen::PageTheme>();
    }
    SiteValues site;
    if (const Result<QString> address = site::SiteAddress(site::KeptSiteUrl()); address) {
        site.siteUrl = address.value();
    }
    return std::optional(PageThemeOf(theme.value(), site));
}

Result<std::optional<site::IndexTheme>> ChosenIndexTheme() {
    const Result<std::shared_ptr<const Theme>> theme = loadChosen();
    if (!theme) {
        return theme.status();
    }
    if (!theme.value()) {
        return std::optional<site::IndexTheme>();
    }
    Result<site::IndexTheme> made = IndexThemeOf(theme.value());
    if (!made) {
        return made.status();
    }
    return std::optional(std::move(made).value());
}

} // namespace vt::theme
