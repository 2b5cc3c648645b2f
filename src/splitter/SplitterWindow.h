#pragma once

#include <QPointer>
#include <QWidget>

#include <map>

#include "splitter/Splitter.h"

class QLabel;
class QLineEdit;

namespace vt::platform {
class FolderList;
}

namespace vt::splitter {

// The splitter window ("Quillmere") over its model. It closes when the model asks, or when the
// model goes away at the end of the category pass.
class SplitterWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SplitterWindow)

public:
    explicit SplitterWindow(Splitter& splitter, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void scheduleRefresh();
    void refresh();

    QPointer<Splitter> m_splitter;
    std::map<SplitterControl, QWidget*> m_controls;
    QLineEdit *m_text1, *m_text2, *m_text3, *m_text4;
    QLabel* m_label2;
    platform::FolderList* m_dir1;
    bool m_refreshScheduled = false;
};

} // namespace vt::splitter
