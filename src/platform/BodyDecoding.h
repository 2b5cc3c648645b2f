#pragma once

#include <QByteArrayView>
#include <QString>

// The text of a downloaded or local document's bytes.
namespace vt::platform {

// A byte order mark decides; then the HTTP charset (of the content type), then the document's
// own declaration; then UTF-8 when the bytes are valid UTF-8, else Windows-1252, which reads
// any byte.
QString decodeBody(QByteArrayView bytes, const QString& contentType);

} // namespace vt::platform
