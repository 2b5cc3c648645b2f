#include "app/WindowRegistry.h"

#include "article/Form10.h"
#include "article/Form9.h"
#include "category/CategorySorting.h"
#include "splitter/SplitterWindow.h"
#include "workflow/FolderChooser.h"
#include "workflow/Form1.h"
#include "workflow/TemplateWindow.h"

namespace vt::app {

using workflow::FolderChooser;
using workflow::TemplateText;
using workflow::TemplateWindow;

WindowRegistry::WindowRegistry(workflow::Workflow& workflow, const platform::Browser& browser,
                               platform::Dialogs& dialogs, category::CategorySorting& sorting,
                               QObject* parent)
    : QObject(parent)
    , m_workflow(workflow)
    , m_browser(browser)
    , m_dialogs(dialogs)
    , m_sorting(sorting) {
    connect(&m_sorting, &category::CategorySorting::splitterOpened, this, &WindowRegistry::showSplitter);
}

// Windows that are still open when the program ends go with the registry.
WindowRegistry::~WindowRegistry() {
    for (QPointer<QWidget>& window : m_windows) {
        delete window.data();
    }
}

void WindowRegistry::start(bool offerArticleMaker) {
    auto* form1 = static_cast<workflow::Form1*>(load(WindowId::Form1));
    if (offerArticleMaker) {
        form1->offerArticleMaker();
    }
    load(WindowId::Form3);
    load(WindowId::Form5);
    load(WindowId::Form7);
    show(WindowId::Form1);
}

void WindowRegistry::show(WindowId id) {
    if (QWidget* window = load(id)) {
        // A minimised window comes back as it was before, maximised or not.
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
        window->activateWindow();
    }
}

QWidget* WindowRegistry::window(WindowId id) const {
    return m_windows[std::size_t(id)].data();
}

QWidget* WindowRegistry::load(WindowId id) {
    QPointer<QWidget>& slot = m_windows[std::size_t(id)];
    if (!slot) {
        slot = create(id);
    }
    return slot;
}

QWidget* WindowRegistry::create(WindowId id) {
    switch (id) {
    case WindowId::Form1: {
        auto* form1 = new workflow::Form1(m_workflow, m_browser);
        form1->setAttribute(Qt::WA_DeleteOnClose);
        connect(form1, &workflow::Form1::templateWindowRequested, this, [this](TemplateText which) {
            show(which == TemplateText::Page     ? WindowId::Form3
                 : which == TemplateText::Backup ? WindowId::Form5
                                                 : WindowId::Form7);
        });
        connect(form1, &workflow::Form1::storageFolderChooserRequested, this,
                [this] { show(WindowId::Form6); });
        connect(form1, &workflow::Form1::padTextFolderChooserRequested, this,
                [this] { show(WindowId::Form8); });
        connect(form1, &workflow::Form1::articleMakerRequested, this, [this] { show(WindowId::Form9); });
        connect(form1, &workflow::Form1::categoryCommandRequested, &m_sorting,
                &category::CategorySorting::pressCommand12);
        connect(form1, &workflow::Form1::closing, this, &WindowRegistry::closeOthers);
        return form1;
    }
    case WindowId::Form3:
        return new TemplateWindow(m_workflow, TemplateText::Page);
    case WindowId::Form5:
        return new TemplateWindow(m_workflow, TemplateText::Backup);
    case WindowId::Form7:
        return new TemplateWindow(m_workflow, TemplateText::AdBlock);
    case WindowId::Form6:
        return new FolderChooser(m_workflow, FolderChooser::Kind::StorageFolder);
    case WindowId::Form8:
        return new FolderChooser(m_workflow, FolderChooser::Kind::PadTextFolder);
    case WindowId::Form9:
        return new article::Form9(m_workflow, m_dialogs);
    case WindowId::Form10:
    case WindowId::Splitter:
        // The splitter shows the model the category pass opens; it is created by showSplitter.
        break;
    }
    return new article::Form10();
}

void WindowRegistry::showSplitter(splitter::Splitter& splitter) {
    QPointer<QWidget>& slot = m_windows[std::size_t(WindowId::Splitter)];
    if (slot) {
        slot->close();
    }
    slot = new splitter::SplitterWindow(splitter);
    show(WindowId::Splitter);
}

void WindowRegistry::closeOthers() {
    for (std::size_t i = std::size_t(WindowId::Form1) + 1; i < m_windows.size(); ++i) {
        if (m_windows[i]) {
            m_windows[i]->close();
        }
    }
}

} // namespace vt::app
