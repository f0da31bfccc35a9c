#include "helpwindow.h"

#include "helplistdelegate.h"
#include "helpsearch.h"
#include "ui_helpwindow.h"

#include <QKeySequence>
#include <QShortcut>
#include <QSignalBlocker>

namespace {

constexpr int kFileRole = Qt::UserRole;
constexpr int kTopicsShare = 1; // the list beside the page, 1 : 3
constexpr int kPageShare = 3;

} // namespace

THelpWindow::THelpWindow(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::THelpWindow>()), m_folder(folder),
      m_pages(helpmanual::LoadPages(folder))
{
    ui->setupUi(this);
    // Closing the program's last window ends the program, help open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    ui->LstTopics->setItemDelegate(new THelpListDelegate(ui->LstTopics));
    ui->SplHelp->setStretchFactor(0, kTopicsShare);
    ui->SplHelp->setStretchFactor(1, kPageShare);
    ConnectNavigation();
    ConnectSearch();
    ShowContents();
}

void THelpWindow::ConnectNavigation()
{
    QTextBrowser* page = ui->TxtPage;
    connect(ui->BtnBack, &QPushButton::clicked, page, &QTextBrowser::backward);
    connect(ui->BtnForward, &QPushButton::clicked, page, &QTextBrowser::forward);
    connect(page, &QTextBrowser::backwardAvailable, ui->BtnBack, &QWidget::setEnabled);
    connect(page, &QTextBrowser::forwardAvailable, ui->BtnForward, &QWidget::setEnabled);
    connect(page, &QTextBrowser::sourceChanged, this, &THelpWindow::PageShown);
    connect(ui->BtnContents, &QPushButton::clicked, this, [this] {
        ui->EdtSearch->clear();
        ShowPage(QLatin1String(helpmanual::kContents));
    });
    connect(ui->LstTopics, &QListWidget::currentItemChanged, this,
            [this](const QListWidgetItem* item) { OpenItem(item); });
    connect(new QShortcut(QKeySequence::Back, this), &QShortcut::activated, page,
            &QTextBrowser::backward);
    connect(new QShortcut(QKeySequence::Forward, this), &QShortcut::activated, page,
            &QTextBrowser::forward);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    ui->BtnBack->setEnabled(false);
    ui->BtnForward->setEnabled(false);
}

void THelpWindow::ConnectSearch()
{
    connect(ui->EdtSearch, &QLineEdit::textChanged, this, &THelpWindow::Search);
    // Enter takes the reader from the search to its first page found.
    connect(ui->EdtSearch, &QLineEdit::returnPressed, this, [this] {
        if (ui->LstTopics->count() == 0)
            return;
        ui->LstTopics->setCurrentRow(0);
        OpenItem(ui->LstTopics->item(0));
        ui->LstTopics->setFocus();
    });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, ui->EdtSearch,
            [this] { ui->EdtSearch->setFocus(); });
}

THelpWindow::~THelpWindow() = default;

void THelpWindow::ShowPage(const QString& file)
{
    ui->TxtPage->setSource(helpmanual::PageUrl(file, m_folder));
    show();
    raise();
    activateWindow();
}

// The list holds the contents while nothing is searched for.
void THelpWindow::ShowContents()
{
    const QSignalBlocker quiet(ui->LstTopics);
    ui->LstTopics->clear();
    for (const THelpPage& page : m_pages) {
        auto* item = new QListWidgetItem(page.title, ui->LstTopics);
        item->setData(kFileRole, page.file);
    }
    ui->LblTopics->setText(QStringLiteral("&Pages"));
    PageShown(ui->TxtPage->source());
}

void THelpWindow::Search(const QString& query)
{
    if (helpsearch::Words(query).isEmpty()) {
        ShowContents();
        return;
    }
    const std::vector<THelpHit> hits = helpsearch::Search(m_pages, query);
    const QSignalBlocker quiet(ui->LstTopics);
    ui->LstTopics->clear();
    for (const THelpHit& hit : hits) {
        auto* item = new QListWidgetItem(hit.title, ui->LstTopics);
        item->setData(kFileRole, hit.file);
        item->setData(THelpListDelegate::kExcerptRole, hit.excerpt);
        item->setToolTip(hit.excerpt);
    }
    ui->LblTopics->setText(hits.empty()       ? QStringLiteral("No page holds every word")
                           : hits.size() == 1 ? QStringLiteral("1 &page found")
                                              : QStringLiteral("%1 &pages found").arg(hits.size()));
    PageShown(ui->TxtPage->source());
}

void THelpWindow::OpenItem(const QListWidgetItem* item)
{
    if (item)
        ui->TxtPage->setSource(helpmanual::PageUrl(item->data(kFileRole).toString(), m_folder));
}

// The list follows the page shown, whichever way it was reached.
void THelpWindow::PageShown(const QUrl& url)
{
    const QString file = url.fileName();
    int shown = -1;
    for (int row = 0; row < ui->LstTopics->count(); ++row) {
        if (ui->LstTopics->item(row)->data(kFileRole).toString() == file)
            shown = row;
    }
    const QSignalBlocker quiet(ui->LstTopics);
    ui->LstTopics->setCurrentRow(shown);
    MarkQuery();
}

// Every place the searched words appear in the page, the first one scrolled to.
void THelpWindow::MarkQuery()
{
    QTextBrowser* page = ui->TxtPage;
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat marked;
    marked.setBackground(palette().color(QPalette::Highlight));
    marked.setForeground(palette().color(QPalette::HighlightedText));
    for (const QString& word : helpsearch::Words(ui->EdtSearch->text())) {
        const QRegularExpression pattern = helpsearch::Pattern(word);
        for (QTextCursor at = page->document()->find(pattern); !at.isNull();
             at = page->document()->find(pattern, at))
            marks.append({at, marked});
    }
    page->setExtraSelections(marks);
    if (!marks.isEmpty()) {
        QTextCursor first = marks.first().cursor;
        first.clearSelection();
        page->setTextCursor(first);
        page->ensureCursorVisible();
    }
}
