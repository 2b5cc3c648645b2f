#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

#include <memory>

#include "cli/ExitCode.h"
#include "theme/Theme.h"

// --theme and --site-url: how the commands that make pages make them, and where the site stands.
namespace vt::cli {

class Arguments;
class Console;
class Session;

// A site URL given that is no absolute http or https address is refused before anything runs;
// "" when the line is fine.
QString checkSiteUrl(const Arguments& arguments);

// The theme --theme names, read and checked, handed to the session's workflow with the site URL
// and, when --ad-block was given, the ad block; none for classic (or no --theme): the template
// fill. Refused, after saying why, when the theme cannot be used; then nothing has been written.
Result<std::shared_ptr<const theme::Theme>> applyTheme(Session& session, const Arguments& arguments);

// After a run that went as `made` says: the theme's other files copied to the top of the site (the
// folder), each only when its bytes changed, unless the run was refused or made no such folder. A
// file that cannot be copied is named, and a run that made every page then exits 1.
ExitCode copyThemeFiles(Console& console, const std::shared_ptr<const theme::Theme>& theme,
                        const QString& folder, ExitCode made);

} // namespace vt::cli
