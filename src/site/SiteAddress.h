#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

// The addresses of the site: the address the user gives it, and the paths below it.
namespace vt::site {

// The address as every link of the sitemap starts: an absolute http or https URL with a host and
// neither user part (a user name or password) nor query nor fragment, fully encoded, without the
// slash at its end. Refused, with the reason, when it is anything else.
Result<QString> SiteAddress(const QString& given);

// The segments joined by "/", each percent-encoded as UTF-8 (only letters, digits and "-._~" stay):
// no segment can end the path, start a query or hold markup.
QString EncodedPath(const QStringList& segments);

} // namespace vt::site
