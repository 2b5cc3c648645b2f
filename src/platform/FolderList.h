#pragma once

#include <QListWidget>

namespace vt::platform {

// The folder tree from the root down to the current folder, then the current folder's
// subfolders. The current folder changes when the user opens a folder (double-click or Enter)
// or when code sets it; a single click only selects.
class FolderList final : public QListWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderList)

public:
    explicit FolderList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Makes the folder current and announces the change; a path that is no folder is ignored.
    void setPath(const QString& path);

signals:
    void pathChanged(const QString& path);

private:
    void fill();

    QString m_path;
};

} // namespace vt::platform
