#include "article/Form10.h"

#include <QPlainTextEdit>

#include "article/ArticleTemplates.h"
#include "platform/ScreenFit.h"
#include "platform/Twips.h"
#include "workflow/BoxText.h"
#include "workflow/WindowFonts.h"

namespace vt::article {

Form10::Form10(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form10"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Make Article"));
    setFont(workflow::windowFont());
    platform::PlaceOnScreen(this, platform::twipsSize(9645, 8415));
    auto* text1 = new QPlainTextEdit(workflow::toBoxText(LongArticleTemplate()), this);
    text1->setObjectName(QStringLiteral("Text1"));
    text1->setTabChangesFocus(true);
    text1->setGeometry(platform::twips(120, 120, 9375, 8175));
}

} // namespace vt::article
