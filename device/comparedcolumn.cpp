#include "comparedcolumn.h"

#include "settingstree.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace {

// A warm tint that reads on light and dark palettes alike.
const QColor kDiffers(255, 140, 0, 90);

} // namespace

TComparedColumn::TComparedColumn(QTreeWidget& view, const TSettingsTree& tree, int nodeRole,
                                 QObject* parent)
    : QObject(parent), m_view(view), m_tree(tree), m_nodeRole(nodeRole)
{
    connect(&m_tree, &TSettingsTree::ComparedChanged, this, &TComparedColumn::Show);
}

void TComparedColumn::Show()
{
    const bool marked = m_tree.HasCompared();
    if (marked)
        m_view.setHeaderLabels({QStringLiteral("Instrument"), QStringLiteral("File")});
    else
        m_view.setColumnCount(1);
    m_view.setHeaderHidden(!marked);
    for (int i = 0; i < m_view.topLevelItemCount(); ++i)
        Mark(*m_view.topLevelItem(i));
}

void TComparedColumn::Mark(QTreeWidgetItem& item)
{
    const auto* node =
        reinterpret_cast<const TMenuNode*>(item.data(0, m_nodeRole).value<quintptr>());
    const std::optional<QString> fileValue = m_tree.ComparedValue(node);
    item.setText(1, fileValue.value_or(QString()));
    for (int column = 0; column < 2; ++column)
        item.setBackground(column, fileValue ? QBrush(kDiffers) : QBrush());
    item.setToolTip(0, fileValue ? QStringLiteral("In the file: %1").arg(*fileValue) : QString());
    for (int i = 0; i < item.childCount(); ++i)
        Mark(*item.child(i));
}
