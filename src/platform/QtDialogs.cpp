#include "platform/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "files/ShownText.h"

namespace vt::platform {

Answer QtDialogs::message(const QString& text, MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(ApplicationTitle);
    // Paragraphs are joined by CR LF; a text layout shows a lone LF as the line break.
    box.setText(files::shownText(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon(icon == MessageIcon::Information   ? QMessageBox::Information
                : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                   : QMessageBox::NoIcon);
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

std::optional<QString> QtDialogs::askText(const QString& prompt, const QString& initial) {
    bool accepted = false;
    const QString typed =
        QInputDialog::getText(QApplication::activeWindow(), ApplicationTitle, files::shownText(prompt),
                              QLineEdit::Normal, initial, &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    return typed;
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
