#pragma once

#include <QComboBox>

namespace vt::platform {

// The drives of the system: the mounted volumes that hold folders. Announces the drive the
// user chooses.
class DriveList final : public QComboBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DriveList)

public:
    explicit DriveList(QWidget* parent = nullptr);

signals:
    void driveChosen(const QString& rootPath);
};

} // namespace vt::platform
