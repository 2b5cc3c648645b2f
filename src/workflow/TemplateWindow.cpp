#include "workflow/TemplateWindow.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include "platform/ScreenFit.h"
#include "platform/Twips.h"
#include "workflow/BoxText.h"
#include "workflow/WindowFonts.h"

namespace vt::workflow {
namespace {

using platform::twips;
using platform::twipsSize;

struct Layout {
    const char* name;
    QSize client;
    QRect text1;
};

Layout layoutOf(TemplateText which) {
    switch (which) {
    case TemplateText::Page:
        return {"Form3", twipsSize(11565, 8220), twips(120, 120, 11295, 7935)};
    case TemplateText::Backup:
        return {"Form5", twipsSize(11865, 8595), twips(240, 240, 11295, 7935)};
    case TemplateText::AdBlock:
        break;
    }
    return {"Form7", twipsSize(10320, 7755), twips(120, 120, 9975, 7455)};
}

} // namespace

TemplateWindow::TemplateWindow(Workflow& workflow, TemplateText which, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_workflow(workflow)
    , m_which(which)
    , m_text1(new QPlainTextEdit(this)) {
    const Layout layout = layoutOf(which);
    setObjectName(QString::fromLatin1(layout.name));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setFont(windowFont());
    platform::PlaceOnScreen(this, layout.client);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setTabChangesFocus(true);
    m_text1->setGeometry(layout.text1);
    // Laid out disabled; the window makes its text editable as it loads.
    m_text1->setEnabled(false);
    refresh();
    m_text1->setEnabled(true);

    connect(m_text1, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_refreshing) {
            m_workflow.setTemplateText(m_which, fromBoxText(m_text1->toPlainText()));
        }
    });
    connect(&m_workflow, &Workflow::changed, this, &TemplateWindow::scheduleRefresh);
}

// A hidden window shows nothing, so it catches up when it is shown; an open one follows the
// text once per turn of the event loop, however often a step changes it.
void TemplateWindow::scheduleRefresh() {
    if (isVisible() && !m_refreshScheduled) {
        m_refreshScheduled = true;
        QTimer::singleShot(0, this, &TemplateWindow::refresh);
    }
}

void TemplateWindow::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

void TemplateWindow::refresh() {
    m_refreshScheduled = false;
    const QString text = toBoxText(m_workflow.templateText(m_which));
    if (m_text1->toPlainText() != text) {
        m_refreshing = true;
        m_text1->setPlainText(text);
        m_refreshing = false;
    }
}

void TemplateWindow::closeEvent(QCloseEvent* event) {
    m_workflow.discardTemplateEdits(m_which);
    event->accept();
}

} // namespace vt::workflow
