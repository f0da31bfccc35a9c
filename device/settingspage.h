#pragma once

#include "page.h"

#include <QHash>
#include <QWidget>

#include <memory>

class IUserPrompts;
class QMenu;
class QTreeWidgetItem;
class TDevice;
class TMenuNode;
class TSettingsEditor;
class TSettingsTree;
namespace Ui {
class TSettingsPage;
}

// The Settings tab of a setup session: the session's settings tree as the instrument gave it,
// and the editor of the selected item. The tree is the session's; this page only shows it,
// asks for a menu to be read when the user opens it, and hands a confirmed edit on.
class TSettingsPage : public QWidget, public IPage
{
    Q_OBJECT
public:
    TSettingsPage(TSettingsTree& tree, TDevice& device, IUserPrompts& prompts,
                  QWidget* parent = nullptr);
    ~TSettingsPage() override;

    QWidget* Widget() override { return this; }
    const char* Caption() const override { return "Settings"; }
    bool ShownIn(const TLinkState& state) const override { return state.session; }
    void Entered() override;
    void LinkChanged(const TLinkState& state) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tvMenuItemsChange();
    void tvMenuItemsExpanding(QTreeWidgetItem* item);
    void tvMenupopupExpandClick();
    void tvMenuPopupRefreshClick();
    void ShowPopup(const QPoint& viewportPos);
    void WriteSetting(const QString& raw);
    void ShowTree();
    void DropChildren(TMenuNode* menu);
    void ShowChildren(TMenuNode* menu);
    void ShowCaption(TMenuNode* node);
    void ShowItem(QTreeWidgetItem& item, const TMenuNode& node);
    QTreeWidgetItem* AddItems(QTreeWidgetItem* parent, TMenuNode& node);
    void ForgetItems(QTreeWidgetItem* item);
    [[nodiscard]] TMenuNode* NodeOf(const QTreeWidgetItem* item) const;

    std::unique_ptr<Ui::TSettingsPage> ui;
    TSettingsTree& m_tree;
    TSettingsEditor* m_editor = nullptr;
    QMenu* m_popup = nullptr;
    QHash<const TMenuNode*, QTreeWidgetItem*> m_items;
    bool m_clicked = false; // the selection is changing by a mouse click
};
