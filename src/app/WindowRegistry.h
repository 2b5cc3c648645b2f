#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>

namespace vt::platform {
class Browser;
class Dialogs;
} // namespace vt::platform
namespace vt::workflow {
class Workflow;
enum class ThemeEntry;
} // namespace vt::workflow
namespace vt::category {
class CategorySorting;
}
namespace vt::splitter {
class Splitter;
}

namespace vt::app {

// Every window of the program, in the order the main window closes them. (Form2 and Form4
// only hold values between steps; the workflow keeps those.)
enum class WindowId { Form1, Form3, Form5, Form6, Form7, Form8, Form9, Form10, Splitter, CheckWindow };

// Each window exists at most once: created on first use, shown without being modal, brought to
// the front when shown again. Closing a window discards it; closing the main window closes all
// the others in the fixed order, and the program ends.
class WindowRegistry final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowRegistry)

public:
    WindowRegistry(workflow::Workflow& workflow, const platform::Browser& browser, platform::Dialogs& dialogs,
                   category::CategorySorting& sorting, QObject* parent = nullptr);
    ~WindowRegistry() override;

    // Loads the three template windows hidden, then shows the main window. The article maker's
    // menu entry stays hidden and disabled unless it is offered.
    void start(bool offerArticleMaker = false);
    void show(WindowId id);
    // The window when it is open, or nullptr.
    QWidget* window(WindowId id) const;

private:
    QWidget* load(WindowId id);
    QWidget* create(WindowId id);
    void closeOthers();
    void showSplitter(splitter::Splitter& splitter);
    // "Check PAD Files": the check over the PAD text folder, its report in the check window.
    void checkPadFiles();
    // "Make Index Pages": the index pages and sitemap of the PAD text folder's Category folder.
    void makeIndexPages();
    // "Wait for a Silent Server...": how long a load waits for a server that sends nothing,
    // remembered between runs.
    void chooseNoDataWait();
    // Options > Theme: the theme the batch, the category run and Make Index Pages use, remembered
    // between runs; a folder that is no theme is named in a message, and the theme stays as it was.
    void chooseTheme(workflow::ThemeEntry entry);

    workflow::Workflow& m_workflow;
    const platform::Browser& m_browser;
    platform::Dialogs& m_dialogs;
    category::CategorySorting& m_sorting;
    std::array<QPointer<QWidget>, std::size_t(WindowId::CheckWindow) + 1> m_windows;
    bool m_checking = false;
};

} // namespace vt::app
