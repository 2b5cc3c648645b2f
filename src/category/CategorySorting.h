#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "platform/Yield.h"
#include "workflow/Workflow.h"

namespace vt::platform {
class Dialogs;
}
namespace vt::splitter {
class Splitter;
}

namespace vt::category {

// Pages filed by PAD category. The category folder pass ("Make Web Pages and Sort by Category")
// creates one folder per category under F/Category, then hands the PAD text folder F to the
// splitter, which moves the files into numbered subfolders and ticks the main window's category
// box; the category run that the box starts makes the pages of each subfolder into the folders
// of their categories. The whole chain is one run: a second start meanwhile is refused.
class CategorySorting final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CategorySorting)

public:
    CategorySorting(workflow::Workflow& workflow, platform::Dialogs& dialogs, platform::Yield yield,
                    QObject* parent = nullptr);
    ~CategorySorting() override;

    // Command12: the category folder pass.
    void pressCommand12();
    // The splitter while the pass has it open, or nullptr.
    splitter::Splitter* splitter() const { return m_splitter.get(); }
    // How the last pass or run went: refused when no page run took place, and the records and
    // numbered PAD text files that failed.
    const workflow::BatchSummary& lastRun() const { return m_lastRun; }

signals:
    // The pass opened the splitter: its window shows it.
    void splitterOpened(vt::splitter::Splitter& splitter);

private:
    bool createCategoryFolders(const QString& padTextFolder, const QString& categoryRoot);
    void handOverToSplitter(const QString& padTextFolder);
    // The category box's action: the batch over each numbered subfolder.
    void runCategoryRun();
    void categoryRun();
    bool yieldGoesOn();

    workflow::Workflow& m_workflow;
    platform::Dialogs& m_dialogs;
    platform::Yield m_yield;
    std::unique_ptr<splitter::Splitter> m_splitter;
    bool m_splitterTicks = false;
    workflow::BatchSummary m_lastRun;
};

} // namespace vt::category
