#pragma once

#include <QByteArray>
#include <QString>

// The text a document shows, as a browser would show it.
namespace vt::platform {

// An XML document's decoded source with every tag literal, an HTML page's visible text, any
// other document's decoded text as it stands.
QString DocumentText(const QByteArray& body, const QString& contentType);

} // namespace vt::platform
