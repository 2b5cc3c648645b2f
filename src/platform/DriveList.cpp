#include "platform/DriveList.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace vt::platform {
namespace {

// Mounts of the system's own pseudo file systems and single bind-mounted files are no drives.
bool isDrive(const QStorageInfo& volume) {
    const QString root = volume.rootPath();
    for (const QString& systemTree :
         {QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev"), QStringLiteral("/run")}) {
        if (root == systemTree || root.startsWith(systemTree + u'/')) {
            return false;
        }
    }
    return volume.isValid() && volume.isReady() && QFileInfo(root).isDir();
}

} // namespace

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent) {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (isDrive(volume)) {
            roots += volume.rootPath();
        }
    }
    roots.sort();
    roots.removeDuplicates();
    addItems(roots);
    setCurrentText(QStorageInfo(QDir::currentPath()).rootPath());
    connect(this, &QComboBox::activated, this, [this](int index) { emit driveChosen(itemText(index)); });
}

} // namespace vt::platform
