#pragma once

#include <QStyledItemDelegate>

// The help window's list: each page's title, and under it, smaller and paler, the line a
// search found in it (kept in kExcerptRole; none in the contents).
class THelpListDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kExcerptRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
