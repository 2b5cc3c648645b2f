#pragma once

#include <QMainWindow>

#include <map>

#include "workflow/Controls.h"
#include "workflow/Workflow.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vt::platform {
class Browser;
}

namespace vt::workflow {

// The main window: the controls of the workflow, bound both ways to the Workflow model. It
// shows the model's state and forwards the user's clicks and edits; it decides nothing.
// The entries of Options > Theme.
enum class ThemeEntry { Classic, Modern, Folder };

class Form1 final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    Form1(Workflow& workflow, const platform::Browser& browser, QWidget* parent = nullptr);

    // Shows and enables the article maker's menu entry, hidden and disabled otherwise.
    void offerArticleMaker();
    // Ticks the entry of the theme in use.
    void tickTheme(ThemeEntry entry);

signals:
    // Window actions the registry carries out: the side windows this window opens.
    void templateWindowRequested(vt::workflow::TemplateText which);
    void storageFolderChooserRequested();
    void padTextFolderChooserRequested();
    void articleMakerRequested();
    void categoryCommandRequested();
    void padCheckRequested();
    void aboutRequested();
    void indexPagesRequested();
    void indexTemplateChoiceRequested();
    void defaultIndexTemplateRequested();
    void noDataWaitRequested();
    void themeRequested(vt::workflow::ThemeEntry entry);
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void buildStatusBar();
    void bindControls();
    void scheduleRefresh();
    void refresh();

    template <typename Widget>
    Widget* place(Widget* widget, Control control, const char* name, QRect geometry);

    Workflow& m_workflow;
    const platform::Browser& m_browser;
    std::map<Control, QWidget*> m_controls;
    QPushButton* m_command6 = nullptr;
    QLineEdit *m_text2 = nullptr, *m_text3 = nullptr, *m_text4 = nullptr, *m_text5 = nullptr;
    QPlainTextEdit* m_text1 = nullptr;
    QPlainTextEdit* m_webBrowser1 = nullptr;
    QLabel *m_label2 = nullptr, *m_label7 = nullptr;
    QCheckBox *m_check1 = nullptr, *m_check2 = nullptr, *m_check3 = nullptr;
    QComboBox* m_combo1 = nullptr;
    std::map<ThemeEntry, QAction*> m_themeEntries;
    QAction* m_makeArticle = nullptr;
    QAction* m_stop = nullptr;
    QProgressBar* m_progress = nullptr;
    QWidget* m_client = nullptr; // holds the controls, in a scroll area
    QStringList m_comboEntries;
    bool m_refreshScheduled = false;
    bool m_refreshing = false;
};

} // namespace vt::workflow
