#include "settingspage.h"

#include "comparedcolumn.h"
#include "device.h"
#include "protocol.h"
#include "settingseditor.h"
#include "settingstree.h"
#include "ui_settingspage.h"
#include "waitcursor.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

using namespace protocol;

namespace {

constexpr int kNodeRole = Qt::UserRole;

bool IsMenu(const TMenuNode* node)
{
    return node && node->Data && node->Data->Type() == item::Menu;
}

bool HasPlaceholder(const TMenuNode* node)
{
    return node && !node->Children().empty() && node->Children().front()->IsPlaceholder();
}

} // namespace

TSettingsPage::TSettingsPage(TSettingsTree& tree, TDevice& device, IUserPrompts& prompts,
                             QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TSettingsPage>()), m_tree(tree)
{
    ui->setupUi(this);
    m_editor = new TSettingsEditor(device, prompts, ui->PnlEditor);
    ui->PnlEditor->layout()->addWidget(m_editor);
    // The tree takes the larger share; the editors need little room.
    ui->PnlEditor->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ui->tvMenuItems->setMinimumWidth(240);
    ui->SplSettings->setStretchFactor(0, 3);
    ui->SplSettings->setStretchFactor(1, 2);
    // Captions are never cut: a narrow tree scrolls sideways instead.
    ui->tvMenuItems->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tvMenuItems->header()->setStretchLastSection(false);
    // Fixed pitch, so the padded name-colon-value captions line up.
    ui->tvMenuItems->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui->tvMenuItems->setContextMenuPolicy(Qt::DefaultContextMenu);
    ui->tvMenuItems->installEventFilter(this);
    ui->tvMenuItems->viewport()->installEventFilter(this);
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopuptvMenu"));
    QAction* expand = m_popup->addAction(QStringLiteral("Expand All"));
    expand->setObjectName(QStringLiteral("tvMenupopupExpand"));
    QAction* refresh = m_popup->addAction(QStringLiteral("Refresh"));
    refresh->setObjectName(QStringLiteral("tvMenuPopupRefresh"));
    connect(expand, &QAction::triggered, this, &TSettingsPage::tvMenupopupExpandClick);
    connect(refresh, &QAction::triggered, this, &TSettingsPage::tvMenuPopupRefreshClick);
    connect(ui->tvMenuItems, &QTreeWidget::currentItemChanged, this,
            &TSettingsPage::tvMenuItemsChange);
    connect(ui->tvMenuItems, &QTreeWidget::itemExpanded, this,
            &TSettingsPage::tvMenuItemsExpanding);
    // Enter on a menu opens or closes it; on an item it goes to the item's editor.
    connect(ui->tvMenuItems, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (IsMenu(NodeOf(item)))
            item->setExpanded(!item->isExpanded());
        else
            m_editor->FocusEditor();
    });
    connect(m_editor, &TSettingsEditor::WriteRequested, this, &TSettingsPage::WriteSetting);
    connect(&m_tree, &TSettingsTree::Reset, this, &TSettingsPage::ShowTree);
    connect(&m_tree, &TSettingsTree::ChildrenClearing, this, &TSettingsPage::DropChildren);
    connect(&m_tree, &TSettingsTree::ChildrenRead, this, &TSettingsPage::ShowChildren);
    connect(&m_tree, &TSettingsTree::NodeChanged, this, &TSettingsPage::ShowCaption);
    new TComparedColumn(*ui->tvMenuItems, m_tree, kNodeRole, this);
}

TSettingsPage::~TSettingsPage() = default;

void TSettingsPage::Entered()
{
    ui->tvMenuItems->setFocus();
}

// While a job reads the tree, nothing of it may be clicked: its nodes come and go.
void TSettingsPage::LinkChanged(const TLinkState& state)
{
    ui->tvMenuItems->setEnabled(!state.job);
    m_editor->setEnabled(!state.job);
}

TMenuNode* TSettingsPage::NodeOf(const QTreeWidgetItem* item) const
{
    return item ? reinterpret_cast<TMenuNode*>(item->data(0, kNodeRole).value<quintptr>())
                : nullptr;
}

QTreeWidgetItem* TSettingsPage::AddItems(QTreeWidgetItem* parent, TMenuNode& node)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ui->tvMenuItems);
    ShowItem(*item, node);
    item->setData(0, kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(&node)));
    m_items.insert(&node, item);
    for (const auto& child : node.Children())
        AddItems(item, *child);
    return item;
}

void TSettingsPage::ForgetItems(QTreeWidgetItem* item)
{
    m_items.remove(NodeOf(item));
    for (int i = 0; i < item->childCount(); ++i)
        ForgetItems(item->child(i));
}

void TSettingsPage::ShowTree()
{
    const QSignalBlocker quiet(ui->tvMenuItems);
    ui->tvMenuItems->clear();
    m_items.clear();
    if (TMenuNode* top = m_tree.Top()) {
        QTreeWidgetItem* item = AddItems(nullptr, *top);
        item->setExpanded(true);
        ui->tvMenuItems->setCurrentItem(item);
    }
    m_editor->ShowNone();
}

void TSettingsPage::DropChildren(TMenuNode* menu)
{
    QTreeWidgetItem* item = m_items.value(menu);
    if (!item)
        return;
    const QSignalBlocker quiet(ui->tvMenuItems);
    for (int i = 0; i < item->childCount(); ++i)
        ForgetItems(item->child(i));
    qDeleteAll(item->takeChildren());
}

void TSettingsPage::ShowChildren(TMenuNode* menu)
{
    QTreeWidgetItem* item = m_items.value(menu);
    if (!item)
        return;
    const QSignalBlocker quiet(ui->tvMenuItems);
    qDeleteAll(item->takeChildren());
    for (const auto& child : menu->Children())
        AddItems(item, *child);
    item->setExpanded(true);
}

void TSettingsPage::ShowCaption(TMenuNode* node)
{
    if (QTreeWidgetItem* item = m_items.value(node))
        ShowItem(*item, *node);
}

// A setting this session changed stands out in bold: the file saved from the tree holds
// values that are no longer what the instrument had at the start.
void TSettingsPage::ShowItem(QTreeWidgetItem& item, const TMenuNode& node)
{
    item.setText(0, node.Caption);
    const bool changed = m_tree.IsChanged(node);
    QFont font = ui->tvMenuItems->font();
    font.setBold(changed);
    item.setFont(0, font);
    item.setToolTip(0, changed ? QStringLiteral("Changed in this session") : QString());
}

void TSettingsPage::tvMenuItemsChange()
{
    TWaitCursor wait;
    m_editor->Open(NodeOf(ui->tvMenuItems->currentItem()));
    // A click takes the user to the editor; arrow keys keep walking the tree.
    if (std::exchange(m_clicked, false))
        m_editor->FocusEditor();
}

void TSettingsPage::tvMenuItemsExpanding(QTreeWidgetItem* item)
{
    TMenuNode* node = NodeOf(item);
    if (HasPlaceholder(node)) {
        TWaitCursor wait;
        m_tree.ReadMenu(*node);
    }
}

void TSettingsPage::tvMenupopupExpandClick()
{
    TMenuNode* node = NodeOf(ui->tvMenuItems->currentItem());
    if (!IsMenu(node))
        return;
    // Every menu read is shown open, as it would be after opening each by hand.
    m_tree.StartRead(*node, TMenuReader::TScope::Below, [this, node](TJobEnd) {
        if (QTreeWidgetItem* item = m_items.value(node)) {
            const QSignalBlocker quiet(ui->tvMenuItems);
            ui->tvMenuItems->expandRecursively(ui->tvMenuItems->indexFromItem(item));
        }
    });
}

void TSettingsPage::tvMenuPopupRefreshClick()
{
    QTreeWidgetItem* item = ui->tvMenuItems->currentItem();
    if (item && item->childCount() > 0)
        m_tree.StartRead(*NodeOf(item), TMenuReader::TScope::OneAgain);
}

void TSettingsPage::ShowPopup(const QPoint& viewportPos)
{
    m_popup->popup(ui->tvMenuItems->viewport()->mapToGlobal(viewportPos));
}

// A right click selects the node under the pointer first, so the popup acts on it; the Menu
// key or Shift+F10 opens it at the current node.
bool TSettingsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == ui->tvMenuItems->viewport())
        m_clicked = true;
    if (event->type() != QEvent::ContextMenu)
        return QWidget::eventFilter(watched, event);
    auto* menuEvent = static_cast<QContextMenuEvent*>(event);
    QTreeWidget* tree = ui->tvMenuItems;
    if (menuEvent->reason() == QContextMenuEvent::Mouse) {
        const QPoint pos = tree->viewport()->mapFromGlobal(menuEvent->globalPos());
        if (QTreeWidgetItem* item = tree->itemAt(pos))
            tree->setCurrentItem(item);
        ShowPopup(pos);
    } else if (QTreeWidgetItem* item = tree->currentItem()) {
        ShowPopup(tree->visualItemRect(item).center());
    }
    return true;
}

void TSettingsPage::WriteSetting(const QString& raw)
{
    TMenuNode* node = NodeOf(ui->tvMenuItems->currentItem());
    if (!node || !node->Data)
        return;
    TWaitCursor wait;
    const bool inPlace = node->Data->Access & 0x80;
    TMenuNode* written = m_tree.WriteSetting(*node, raw);
    if (inPlace) {
        m_editor->ShowCaption(written->Caption);
        return;
    }
    // Its menu was read again: the item written (or the menu, when it is gone) is selected.
    if (QTreeWidgetItem* item = m_items.value(written)) {
        const QSignalBlocker quiet(ui->tvMenuItems);
        ui->tvMenuItems->setCurrentItem(item);
    }
    m_editor->Open(NodeOf(ui->tvMenuItems->currentItem()));
}
