#include "helplistdelegate.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int kMargin = 3;

QString ExcerptOf(const QModelIndex& index)
{
    return index.data(THelpListDelegate::kExcerptRole).toString();
}

QFont ExcerptFont(QFont font)
{
    font.setPointSizeF(font.pointSizeF() * 0.9);
    return font;
}

} // namespace

void THelpListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    const QString excerpt = ExcerptOf(index);
    if (excerpt.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text.clear();
    const QWidget* view = option.widget;
    QStyle* style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QRect area = option.rect.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    QFont title = option.font;
    title.setBold(true);
    painter->save();
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(title);
    const QFontMetrics titleMetrics(title);
    painter->drawText(
        area.topLeft() + QPoint(0, titleMetrics.ascent()),
        titleMetrics.elidedText(index.data().toString(), Qt::ElideRight, area.width()));
    const QFont small = ExcerptFont(option.font);
    const QFontMetrics smallMetrics(small);
    painter->setFont(small);
    if (!selected)
        painter->setPen(option.palette.color(QPalette::PlaceholderText));
    painter->drawText(area.topLeft() + QPoint(0, titleMetrics.height() + smallMetrics.ascent()),
                      smallMetrics.elidedText(excerpt, Qt::ElideRight, area.width()));
    painter->restore();
}

QSize THelpListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const QSize plain = QStyledItemDelegate::sizeHint(option, index);
    if (ExcerptOf(index).isEmpty())
        return plain;
    const int height = QFontMetrics(option.font).height() +
                       QFontMetrics(ExcerptFont(option.font)).height() + 2 * kMargin;
    return {plain.width(), std::max(plain.height(), height)};
}
