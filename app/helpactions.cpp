#include "helpactions.h"

#include "about.h"
#include "dmviewer.h"
#include "helpkey.h"
#include "helpmanual.h"
#include "helptopics.h"
#include "helpwindow.h"
#include "userprompts.h"

#include <QApplication>
#include <QWindow>

THelpActions::THelpActions(const TdatViewer& config, IUserPrompts& prompts, QWidget* parent)
    : m_config(config), m_prompts(prompts), m_parent(parent),
      m_key(std::make_unique<THelpKey>([this](QWidget* target) { ShowHelpFor(target); }))
{
}

THelpActions::~THelpActions() = default;

void THelpActions::muHelpClick()
{
    ShowPage(QLatin1String(helpmanual::kContents), nullptr);
}

void THelpActions::ShowHelpFor(QWidget* target)
{
    ShowPage(helptopics::PageFor(target), QApplication::activeModalWidget());
}

// A modal dialog blocks every window but its own: the help window, made its transient, is
// not blocked by it and stays above it.
void THelpActions::ShowPage(const QString& page, QWidget* modal)
{
    if (!m_window) {
        m_window = std::make_unique<THelpWindow>();
        m_window->setWindowTitle(QStringLiteral("%1 Help").arg(m_config.ViewerName()));
    }
    m_window->winId(); // the native window, to hang on the dialog's
    QWindow* owner = modal ? modal->windowHandle() : nullptr;
    QWindow* help = m_window->windowHandle();
    if (help->transientParent() != owner) {
        // The window manager takes the new owner only as the window is shown.
        const bool shown = m_window->isVisible();
        m_window->hide();
        help->setTransientParent(owner);
        if (shown)
            m_window->show();
    }
    m_window->ShowPage(page);
}

void THelpActions::About1Click()
{
    TfrmAbout about(m_parent);
    const QString error = about.FormCreate(m_config);
    if (!error.isEmpty()) {
        m_prompts.ShowError(error);
        return;
    }
    about.exec();
}
