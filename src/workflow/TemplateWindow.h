#pragma once

#include <QWidget>

#include "workflow/Workflow.h"

class QPlainTextEdit;

namespace vt::workflow {

// Form3, Form5 and Form7: one editable text each (the web page template, its backup and the ad
// block). Edits take effect at once; closing the window discards them.
class TemplateWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TemplateWindow)

public:
    TemplateWindow(Workflow& workflow, TemplateText which, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void scheduleRefresh();
    void refresh();

    Workflow& m_workflow;
    TemplateText m_which;
    QPlainTextEdit* m_text1;
    bool m_refreshing = false;
    bool m_refreshScheduled = false;
};

} // namespace vt::workflow
