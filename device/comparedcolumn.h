#pragma once

#include <QObject>

class QTreeWidget;
class QTreeWidgetItem;
class TSettingsTree;

// The marks of a comparison with a settings file in the Settings tab's tree: each setting
// that differs from the file in colour, with the file's value in a second column.
class TComparedColumn : public QObject
{
    Q_OBJECT
public:
    // `nodeRole`: the item data role under which the tree's items hold their TMenuNode.
    TComparedColumn(QTreeWidget& view, const TSettingsTree& tree, int nodeRole,
                    QObject* parent = nullptr);

private:
    void Show();
    void Mark(QTreeWidgetItem& item);

    QTreeWidget& m_view;
    const TSettingsTree& m_tree;
    int m_nodeRole;
};
