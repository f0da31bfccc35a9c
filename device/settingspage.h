#pragma once

#include "page.h"
#include "sessioncontroller.h"

#include "menunode.h"

#include <QWidget>

#include <memory>

class IUserPrompts;
class QMenu;
class QTreeWidgetItem;
class TDevice;
class TSettingsEditor;
namespace Ui {
class TSettingsPage;
}

// The Settings tab of a setup session: the instrument's own menu tree, read from it as the
// user opens the menus, and the editor of the selected item. A confirmed edit is written,
// stored, and read back into the tree.
class TSettingsPage : public QWidget, public IPage, public ISessionView
{
    Q_OBJECT
public:
    TSettingsPage(TDevice& device, TSessionController& session, IUserPrompts& prompts,
                  QWidget* parent = nullptr);
    ~TSettingsPage() override;

    QWidget* Widget() override { return this; }
    const char* Caption() const override { return "Settings"; }
    bool ShownIn(const TLinkState& state) const override { return state.session; }
    void Entered() override;

    void BuildTree(bool full) override;
    void ClearTree() override;
    // The tree as read, its top node the holder's first child: what a settings file saves.
    [[nodiscard]] const TMenuNode& Tree() const { return m_tree; }
    // Reads every menu not read yet, as Expand All on the top node does.
    void ReadAllMenus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TBusy;

    void tvMenuItemsChange();
    void tvMenuItemsExpanding(QTreeWidgetItem* item);
    void tvMenupopupExpandClick();
    void tvMenuPopupRefreshClick();
    void ShowPopup(const QPoint& viewportPos);
    void ExpandAll(QTreeWidgetItem* item);
    void ReadChildrenOf(QTreeWidgetItem* item);
    void ReadChildren(QTreeWidgetItem* item);
    void ClearNow();
    void RefreshOnReferenceChange();
    void WriteSetting(const QString& raw);
    void RereadParentOf(QTreeWidgetItem* item);
    void RefreshNumbers(QTreeWidgetItem* item);
    void RefreshCaption(QTreeWidgetItem* item);
    QTreeWidgetItem* AddItems(QTreeWidgetItem* parent, TMenuNode& node);
    void ShowChildren(QTreeWidgetItem* item);
    [[nodiscard]] TMenuNode* NodeOf(const QTreeWidgetItem* item) const;

    std::unique_ptr<Ui::TSettingsPage> ui;
    TDevice& m_device;
    TSessionController& m_session;
    TSettingsEditor* m_editor = nullptr;
    QMenu* m_popup = nullptr;
    TMenuNode m_tree;
    // The last display text of the reference weight: when a write changes it, every number
    // the instrument scales by it is read again.
    QString m_referenceText;
    int m_busy = 0;
    bool m_clearPending = false;
    bool m_clicked = false; // the selection is changing by a mouse click
};
