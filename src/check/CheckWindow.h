#pragma once

#include <QWidget>

#include <vector>

#include "check/Findings.h"

class QLabel;
class QTableWidget;

namespace vt::platform {
class Dialogs;
}

namespace vt::check {

struct CheckRun;

// The report of a PAD check: one table row per finding, sortable by any column, and a button
// that saves the report as CSV where the user chooses.
class CheckWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckWindow)

public:
    explicit CheckWindow(platform::Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows the report of a check over the folder, in place of the one shown before.
    void showReport(const QString& folder, const CheckRun& run);

private:
    void saveCsv();

    platform::Dialogs& m_dialogs;
    QLabel* m_summary;
    QTableWidget* m_table;
    std::vector<Finding> m_findings;
};

} // namespace vt::check
