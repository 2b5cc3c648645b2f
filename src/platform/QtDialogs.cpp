#include "platform/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "files/ShownText.h"
#include "files/TextFile.h"

namespace vt::platform {
namespace {

const QString ReportFilter = QStringLiteral("Text Files (*.txt) | *.txt");
// A text input is this wide where the screen allows.
constexpr int PromptWidth = 560;
const QString ReportNotSavedMessage = QStringLiteral("The report could not be saved.\r\n\r\n%1");

// A text as a box shows it: control characters escaped, and the CR LF between paragraphs as the
// lone LF a text layout breaks lines at.
QString boxText(const QString& text) {
    return files::shownText(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A message box of the program over the active window: its title, the text and the icon.
void dress(QMessageBox& box, const QString& text, MessageIcon icon) {
    box.setWindowTitle(ApplicationTitle);
    box.setText(boxText(text));
    box.setIcon(icon == MessageIcon::Information   ? QMessageBox::Information
                : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                   : QMessageBox::NoIcon);
}

} // namespace

Answer QtDialogs::message(const QString& text, MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(QApplication::activeWindow());
    dress(box, text, icon);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    return buttons == MessageButtons::Ok ? Answer::Ok
           : pressed == QMessageBox::Yes ? Answer::Yes
                                         : Answer::No;
}

void QtDialogs::report(const QString& text, MessageIcon icon, const QString& details) {
    QMessageBox box(QApplication::activeWindow());
    dress(box, text, icon);
    box.setDetailedText(boxText(details));
    box.setStandardButtons(QMessageBox::Ok);
    QPushButton* save = box.addButton(QStringLiteral("Save Report..."), QMessageBox::ActionRole);
    save->setObjectName(QStringLiteral("SaveReport"));
    // The box closes at any of its buttons; saving leaves it up.
    save->disconnect();
    QObject::connect(save, &QPushButton::clicked, &box, [this, &details] {
        const std::optional<QString> file = saveFile(ReportFilter);
        if (!file) {
            return;
        }
        if (const auto saved = files::writeTextFile(*file, details, files::Encoding::Utf8); !saved) {
            message(ReportNotSavedMessage.arg(saved.message()), MessageButtons::Ok, MessageIcon::Exclamation);
        }
    });
    box.exec();
}

std::optional<QString> QtDialogs::openFile(const QString& filter) {
    const QString chosen =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(), qtFilter(filter));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<QString> QtDialogs::saveFile(const QString& filter) {
    const QString chosen =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), QString(), qtFilter(filter));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<QString> QtDialogs::chooseFolder(const QString& caption) {
    const QString chosen = QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

// The prompt wraps, so a long one gives a taller dialog, never one wider than the screen.
std::optional<QString> QtDialogs::askText(const QString& prompt, const QString& initial) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(ApplicationTitle);
    auto* label = new QLabel(boxText(prompt));
    label->setWordWrap(true);
    auto* input = new QLineEdit(initial);
    input->setObjectName(QStringLiteral("Answer"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(input);
    layout->addWidget(buttons);
    const int width = std::min(PromptWidth, dialog.screen()->availableGeometry().width() * 9 / 10);
    dialog.setFixedWidth(width);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return input->text();
}

QString QtDialogs::qtFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = u'(' + parts[i + 1].trimmed() + u')';
        filters += description.endsWith(patterns) ? description : description + u' ' + patterns;
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace vt::platform
