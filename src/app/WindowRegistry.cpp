#include "app/WindowRegistry.h"

#include <QCoreApplication>

#include "article/Form10.h"
#include "article/Form9.h"
#include "category/CategorySorting.h"
#include "check/CheckSources.h"
#include "check/CheckWindow.h"
#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "site/IndexMenu.h"
#include "splitter/SplitterWindow.h"
#include "theme/ThemeChoice.h"
#include "theme/Theme.h"
#include "workflow/FolderChooser.h"
#include "workflow/Form1.h"
#include "workflow/TemplateWindow.h"
#include "workflow/Workflow.h"

namespace vt::app {
namespace {

const QString NoPadTextFolderMessage =
    QStringLiteral("Choose the folder of PAD text files to check first: tick \"Make web pages from PAD text "
                   "files\" and click the \"...\" button beside the yellow box.");
// The version is the project's, the same one vellumtide --version, vellumtide-cli --version and the
// package show.
const QString AboutMessage = QStringLiteral(
    "Vellumtide " VELLUMTIDE_VERSION "\r\n\r\nTurns PAD files into HTML pages for a software download site. "
    "vellumtide-cli runs the same steps without a window.");

const QString OptionsSection = QStringLiteral("Options");
const QString NoDataWaitKey = QStringLiteral("No-Data Wait");
const QString NoDataWaitPrompt = QStringLiteral(
    "How many seconds a PAD file's load waits for a server that sends nothing before it gives up (%1 to %2). "
    "A load may take four times as long in all.");
const QString BadNoDataWaitMessage =
    QStringLiteral("\"%1\" is not a whole number of seconds from %2 to %3; the wait stays %4 seconds.");
const QString ThemeFolderCaption =
    QStringLiteral("Choose a theme folder (page.html, and index.html and feed.xml for the index pages)");
const QString NotThemeMessage =
    QStringLiteral("The folder cannot be used as a theme; the theme stays as it was.\r\n\r\n%1");

workflow::ThemeEntry entryOf(const QString& theme) {
    return theme == theme::ClassicThemeName  ? workflow::ThemeEntry::Classic
           : theme == theme::ModernThemeName ? workflow::ThemeEntry::Modern
                                             : workflow::ThemeEntry::Folder;
}

} // namespace

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
    m_workflow.setPageThemeSource(&theme::ChosenPageTheme);
    connect(&m_sorting, &category::CategorySorting::splitterOpened, this, &WindowRegistry::showSplitter);
}

// Windows that are still open when the program ends go with the registry.
WindowRegistry::~WindowRegistry() {
    for (QPointer<QWidget>& window : m_windows) {
        delete window.data();
    }
}

void WindowRegistry::start(bool offerArticleMaker) {
    if (const std::optional<int> wait = platform::NoDataWaitOf(
            platform::ReadSetting(platform::ApplicationTitle, OptionsSection, NoDataWaitKey))) {
        m_workflow.setNoDataWait(*wait);
    }
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
        connect(form1, &workflow::Form1::padCheckRequested, this, &WindowRegistry::checkPadFiles);
        connect(form1, &workflow::Form1::aboutRequested, this, [this] {
            m_dialogs.message(AboutMessage, platform::MessageButtons::Ok, platform::MessageIcon::Information);
        });
        connect(form1, &workflow::Form1::indexPagesRequested, this, &WindowRegistry::makeIndexPages);
        connect(form1, &workflow::Form1::indexTemplateChoiceRequested, this,
                [this] { site::ChooseIndexTemplateFromMenu(m_dialogs); });
        connect(form1, &workflow::Form1::defaultIndexTemplateRequested, this,
                [] { site::UseDefaultIndexTemplateFromMenu(); });
        connect(form1, &workflow::Form1::noDataWaitRequested, this, &WindowRegistry::chooseNoDataWait);
        connect(form1, &workflow::Form1::themeRequested, this, &WindowRegistry::chooseTheme);
        form1->tickTheme(entryOf(theme::ChosenTheme()));
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
    case WindowId::CheckWindow:
        return new check::CheckWindow(m_dialogs);
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

// Pages filed by category when the category run's box is ticked. The window goes on repainting
// between records; a second check asked for meanwhile is refused, and closing the main window
// ends the check.
void WindowRegistry::checkPadFiles() {
    const QString folder = m_workflow.padTextFolder();
    if (folder.isEmpty()) {
        m_dialogs.message(NoPadTextFolderMessage, platform::MessageButtons::Ok,
                          platform::MessageIcon::Information);
        return;
    }
    if (m_checking) {
        return;
    }
    m_checking = true;
    check::CheckHooks hooks;
    hooks.goesOn = [this] {
        QCoreApplication::processEvents();
        return !m_workflow.isShutDown();
    };
    const Result<check::CheckRun> run =
        check::CheckTextFolder({folder, std::nullopt, m_workflow.check3() == 1}, hooks);
    m_checking = false;
    if (!run) {
        m_dialogs.message(run.message(), platform::MessageButtons::Ok, platform::MessageIcon::Exclamation);
    } else if (!run.value().stopped) {
        show(WindowId::CheckWindow);
        static_cast<check::CheckWindow*>(window(WindowId::CheckWindow))->showReport(folder, run.value());
    }
}

// Refused while a batch or category run writes pages, so an index never lists a run half made.
void WindowRegistry::makeIndexPages() {
    if (!m_workflow.beginRun()) {
        return;
    }
    Result<std::optional<site::IndexTheme>> theme = theme::ChosenIndexTheme();
    if (!theme) {
        m_dialogs.message(theme.message(), platform::MessageButtons::Ok, platform::MessageIcon::Exclamation);
    } else {
        site::MakeIndexPagesFromMenu(
            m_workflow.padTextFolder(), m_dialogs,
            [this] {
                QCoreApplication::processEvents();
                return !m_workflow.isStopping();
            },
            std::move(theme).value());
    }
    m_workflow.endRun();
}

void WindowRegistry::chooseNoDataWait() {
    const std::optional<QString> typed =
        m_dialogs.askText(NoDataWaitPrompt.arg(platform::MinNoDataWait).arg(platform::MaxNoDataWait),
                          QString::number(m_workflow.noDataWait()));
    if (!typed) {
        return;
    }
    const std::optional<int> wait = platform::NoDataWaitOf(*typed);
    if (!wait) {
        m_dialogs.message(BadNoDataWaitMessage.arg(*typed)
                              .arg(platform::MinNoDataWait)
                              .arg(platform::MaxNoDataWait)
                              .arg(m_workflow.noDataWait()),
                          platform::MessageButtons::Ok, platform::MessageIcon::Exclamation);
        return;
    }
    m_workflow.setNoDataWait(*wait);
    platform::SaveSetting(platform::ApplicationTitle, OptionsSection, NoDataWaitKey, QString::number(*wait));
}

void WindowRegistry::chooseTheme(workflow::ThemeEntry entry) {
    QString chosen =
        entry == workflow::ThemeEntry::Classic ? theme::ClassicThemeName : theme::ModernThemeName;
    if (entry == workflow::ThemeEntry::Folder) {
        chosen = theme::ChosenTheme(); // stays, unless the folder chosen is a theme
        if (const std::optional<QString> folder = m_dialogs.chooseFolder(ThemeFolderCaption)) {
            if (const Result<theme::Theme> loaded = theme::LoadTheme(*folder); loaded) {
                chosen = *folder;
            } else {
                m_dialogs.message(NotThemeMessage.arg(loaded.message()), platform::MessageButtons::Ok,
                                  platform::MessageIcon::Exclamation);
            }
        }
    }
    theme::KeepChosenTheme(chosen);
    static_cast<workflow::Form1*>(load(WindowId::Form1))->tickTheme(entryOf(chosen));
}

void WindowRegistry::closeOthers() {
    for (std::size_t i = std::size_t(WindowId::Form1) + 1; i < m_windows.size(); ++i) {
        if (m_windows[i]) {
            m_windows[i]->close();
        }
    }
}

} // namespace vt::app
