#pragma once

#include <QString>

// The per-user settings store: a text value under an application name, a section and a key.
namespace vt::platform {

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);
QString ReadSetting(const QString& application, const QString& section, const QString& key);

} // namespace vt::platform
