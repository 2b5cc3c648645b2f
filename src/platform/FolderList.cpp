#include "platform/FolderList.h"

#include <QDir>
#include <QFileInfo>

namespace vt::platform {
namespace {

constexpr int PathRole = Qt::UserRole;

QListWidgetItem* folderItem(const QString& path, const QString& name, int depth) {
    auto* item = new QListWidgetItem(QString(2 * depth, u' ') + name);
    item->setData(PathRole, path);
    return item;
}

} // namespace

FolderList::FolderList(QWidget* parent)
    : QListWidget(parent)
    , m_path(QDir::currentPath()) {
    fill();
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setPath(item->data(PathRole).toString()); });
}

void FolderList::setPath(const QString& path) {
    const QFileInfo folder(path);
    if (!folder.isDir()) {
        return;
    }
    m_path = QDir::cleanPath(folder.absoluteFilePath());
    fill();
    emit pathChanged(m_path);
}

void FolderList::fill() {
    clear();
    QStringList ancestors;
    for (QDir dir(m_path);;) {
        ancestors.prepend(dir.absolutePath());
        if (!dir.cdUp()) {
            break;
        }
    }
    int depth = 0;
    for (const QString& ancestor : ancestors) {
        const QString name = QFileInfo(ancestor).fileName();
        addItem(folderItem(ancestor, name.isEmpty() ? ancestor : name, depth++));
    }
    setCurrentRow(count() - 1);
    // An unreadable folder simply shows no subfolders.
    const QDir current(m_path);
    for (const QString& name : current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        addItem(folderItem(current.filePath(name), name, depth));
    }
}

} // namespace vt::platform
