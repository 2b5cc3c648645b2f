#include "platform/Settings.h"

#include <QSettings>

namespace vt::platform {
namespace {

const QString Organization = QStringLiteral("Vellumtide");

} // namespace

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Organization, application);
    settings.beginGroup(section);
    settings.setValue(key, value);
}

QString ReadSetting(const QString& application, const QString& section, const QString& key) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Organization, application);
    settings.beginGroup(section);
    return settings.value(key).toString();
}

} // namespace vt::platform
