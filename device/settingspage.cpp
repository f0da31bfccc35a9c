#include "settingspage.h"

#include "device.h"
#include "protocol.h"
#include "settingseditor.h"
#include "ui_settingspage.h"
#include "waitcursor.h"

#include <QApplication>
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

// While the page reads or writes, the user's input to it waits (events go on meanwhile, and
// a second operation on the same nodes would pull them away from under the first) and the
// hourglass shows; the rest of the window stays usable. A session that ends meanwhile clears
// the tree once the operation is over.
class TSettingsPage::TBusy : public QObject
{
public:
    explicit TBusy(TSettingsPage& page) : m_page(page)
    {
        if (m_page.m_busy++ == 0)
            qApp->installEventFilter(this);
    }
    ~TBusy() override
    {
        qApp->removeEventFilter(this);
        if (--m_page.m_busy == 0 && m_page.m_clearPending)
            m_page.ClearTree();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return watched->isWidgetType() && m_page.isAncestorOf(static_cast<QWidget*>(watched));
        default:
            return false;
        }
    }

private:
    TSettingsPage& m_page;
    TWaitCursor m_wait;
};

TSettingsPage::TSettingsPage(TDevice& device, TSessionController& session, IUserPrompts& prompts,
                             QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TSettingsPage>()), m_device(device),
      m_session(session)
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
}

TSettingsPage::~TSettingsPage() = default;

void TSettingsPage::Entered()
{
    ui->tvMenuItems->setFocus();
}

TMenuNode* TSettingsPage::NodeOf(const QTreeWidgetItem* item) const
{
    return item ? reinterpret_cast<TMenuNode*>(item->data(0, kNodeRole).value<quintptr>())
                : nullptr;
}

QTreeWidgetItem* TSettingsPage::AddItems(QTreeWidgetItem* parent, TMenuNode& node)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ui->tvMenuItems);
    item->setText(0, node.Caption);
    item->setData(0, kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(&node)));
    for (const auto& child : node.Children())
        AddItems(item, *child);
    return item;
}

// The item's children anew from its node, after the node's children were read again.
void TSettingsPage::ShowChildren(QTreeWidgetItem* item)
{
    const QSignalBlocker quiet(ui->tvMenuItems);
    qDeleteAll(item->takeChildren());
    for (const auto& child : NodeOf(item)->Children())
        AddItems(item, *child);
    item->setExpanded(true);
}

void TSettingsPage::BuildTree(bool full)
{
    if (m_busy)
        return;
    TBusy busy(*this);
    ClearNow();
    m_device.BuildMenuTree(m_tree, reg::MenuRoot, false,
                           full ? QStringLiteral("FULL SETUP") : QStringLiteral("SAFE SETUP"));
    const QSignalBlocker quiet(ui->tvMenuItems);
    if (!m_tree.Children().empty()) {
        QTreeWidgetItem* top = AddItems(nullptr, *m_tree.Children().front());
        top->setExpanded(true);
        ui->tvMenuItems->setCurrentItem(top);
    }
    m_editor->ShowNone();
}

void TSettingsPage::ClearTree()
{
    if (m_busy)
        m_clearPending = true;
    else
        ClearNow();
}

void TSettingsPage::ClearNow()
{
    m_clearPending = false;
    const QSignalBlocker quiet(ui->tvMenuItems);
    ui->tvMenuItems->clear();
    m_tree.Clear();
    m_editor->ShowNone();
}

void TSettingsPage::tvMenuItemsChange()
{
    if (m_busy)
        return;
    TBusy busy(*this);
    m_editor->Open(NodeOf(ui->tvMenuItems->currentItem()));
    // A click takes the user to the editor; arrow keys keep walking the tree.
    if (std::exchange(m_clicked, false))
        m_editor->FocusEditor();
}

void TSettingsPage::tvMenuItemsExpanding(QTreeWidgetItem* item)
{
    if (HasPlaceholder(NodeOf(item)))
        ReadChildrenOf(item);
}

void TSettingsPage::ReadChildrenOf(QTreeWidgetItem* item)
{
    if (!NodeOf(item) || m_busy)
        return;
    TBusy busy(*this);
    ReadChildren(item);
}

void TSettingsPage::ReadChildren(QTreeWidgetItem* item)
{
    TMenuNode* node = NodeOf(item);
    node->Clear();
    {
        const QSignalBlocker quiet(ui->tvMenuItems);
        qDeleteAll(item->takeChildren());
    }
    m_device.ReadMenuChildren(*node, false);
    ShowChildren(item);
}

void TSettingsPage::ExpandAll(QTreeWidgetItem* item)
{
    if (!IsMenu(NodeOf(item)) || m_clearPending)
        return;
    if (HasPlaceholder(NodeOf(item)))
        ReadChildren(item);
    item->setExpanded(true);
    // A menu whose list cannot be read keeps its placeholder, which is no menu: this ends.
    for (int i = 0; i < item->childCount(); ++i)
        ExpandAll(item->child(i));
}

void TSettingsPage::ReadAllMenus()
{
    if (QTreeWidgetItem* top = ui->tvMenuItems->topLevelItem(0)) {
        TBusy busy(*this);
        ExpandAll(top);
    }
}

void TSettingsPage::tvMenupopupExpandClick()
{
    if (QTreeWidgetItem* item = ui->tvMenuItems->currentItem()) {
        TBusy busy(*this);
        ExpandAll(item);
    }
}

void TSettingsPage::tvMenuPopupRefreshClick()
{
    QTreeWidgetItem* item = ui->tvMenuItems->currentItem();
    if (item && item->childCount() > 0)
        ReadChildrenOf(item);
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
    QTreeWidgetItem* item = ui->tvMenuItems->currentItem();
    TMenuNode* node = NodeOf(item);
    if (!node || !node->Data || m_busy)
        return;
    TBusy busy(*this);
    m_device.SetCurrentRegister(node->Data->Register);
    m_device.WriteValue(raw);
    if (m_device.ReadValue())
        node->Data->RawValue = m_device.ReplyText();
    m_session.StoreSettings(true);
    m_session.PromptPasscode(m_device.FullAccess);
    if (node->Data->Access & 0x80) {
        m_device.SetCurrentRegister(node->Data->Register);
        if (m_device.ReadDisplayText()) {
            node->Data->DisplayText = m_device.ReplyText();
            node->Caption = TDevice::NodeCaption(*node->Data);
            item->setText(0, node->Caption);
            m_editor->ShowCaption(node->Caption);
        }
        RefreshOnReferenceChange();
    } else {
        RereadParentOf(item);
        RefreshOnReferenceChange();
        m_editor->Open(NodeOf(ui->tvMenuItems->currentItem()));
    }
}

void TSettingsPage::RefreshOnReferenceChange()
{
    m_device.SetCurrentRegister(reg::ReferenceWeight);
    if (!m_device.ReadDisplayText() || m_device.ReplyText() == m_referenceText)
        return;
    m_referenceText = m_device.ReplyText();
    if (QTreeWidgetItem* top = ui->tvMenuItems->topLevelItem(0))
        RefreshNumbers(top);
}

// An item without access letters may have changed its menu: the menu is read again and the
// item just written selected in it.
void TSettingsPage::RereadParentOf(QTreeWidgetItem* item)
{
    QTreeWidgetItem* parentItem = item->parent();
    TMenuNode* parent = NodeOf(parentItem);
    if (!parent)
        return;
    const QString written = m_device.CurrentRegister;
    const QSignalBlocker quiet(ui->tvMenuItems);
    ui->tvMenuItems->setCurrentItem(parentItem);
    qDeleteAll(parentItem->takeChildren());
    parent->Clear();
    m_device.ReadMenuChildren(*parent, false);
    ShowChildren(parentItem);
    m_editor->ShowNone();
    for (int i = 0; i < parentItem->childCount(); ++i) {
        const TMenuNode* child = NodeOf(parentItem->child(i));
        if (child && child->Data && child->Data->Register == written)
            ui->tvMenuItems->setCurrentItem(parentItem->child(i));
    }
}

void TSettingsPage::RefreshNumbers(QTreeWidgetItem* item)
{
    RefreshCaption(item);
    for (int i = 0; i < item->childCount(); ++i)
        RefreshNumbers(item->child(i));
}

void TSettingsPage::RefreshCaption(QTreeWidgetItem* item)
{
    TMenuNode* node = NodeOf(item);
    if (!node || !node->Data || !node->Data->Valid || !item::IsNumber(node->Data->Type()))
        return;
    const TMenuNode* parent = node->Parent();
    if (parent && parent->Data) {
        m_device.SetCurrentRegister(parent->Data->Register);
        m_device.ReadItemHeader();
    }
    m_device.SetCurrentRegister(node->Data->Register);
    m_device.ReadItemHeader();
    if (m_device.ReadValue())
        node->Data->RawValue = m_device.ReplyText();
    if (m_device.ReadDisplayText()) {
        node->Data->DisplayText = m_device.ReplyText();
        node->Caption = TDevice::NodeCaption(*node->Data);
        item->setText(0, node->Caption);
    }
}
