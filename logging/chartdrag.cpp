#include "chartdrag.h"

#include <QRubberBand>

#include <utility>

namespace {

constexpr int kMinimumDrag = 4;

enum class TDragResult
{
    None,
    Zoom,
    Undo
};

// Towards the lower right zooms, towards the upper left undoes; short drags are clicks.
TDragResult ClassifyDrag(const QPoint& start, const QPoint& end)
{
    const QPoint d = end - start;
    if (d.x() >= kMinimumDrag && d.y() >= kMinimumDrag)
        return TDragResult::Zoom;
    if (d.x() <= -kMinimumDrag && d.y() <= -kMinimumDrag)
        return TDragResult::Undo;
    return TDragResult::None;
}

} // namespace

TChartDrag::TChartDrag(QWidget& owner, TActions actions)
    : m_actions(std::move(actions)), m_rubberBand(new QRubberBand(QRubberBand::Rectangle, &owner))
{
}

void TChartDrag::Press(const QPoint& pos, Qt::MouseButton button)
{
    m_drag = TKind::None;
    m_start = m_last = pos;
    if (button == Qt::LeftButton) {
        m_drag = TKind::Zoom;
        m_rubberBand->setGeometry(QRect(pos, QSize()));
        m_rubberBand->show();
    } else if (button == Qt::RightButton) {
        m_drag = TKind::Pan;
    }
}

void TChartDrag::Move(const QPoint& pos)
{
    if (m_drag == TKind::Zoom)
        m_rubberBand->setGeometry(QRect(m_start, pos).normalized());
    else if (m_drag == TKind::Pan && pos != m_last)
        m_actions.panBy(m_last, pos);
    m_last = pos;
}

void TChartDrag::Release(const QPoint& pos)
{
    const TKind drag = std::exchange(m_drag, TKind::None);
    if (drag == TKind::Pan && pos != m_last)
        m_actions.panBy(m_last, pos);
    if (drag != TKind::Zoom)
        return;
    m_rubberBand->hide();
    switch (ClassifyDrag(m_start, pos)) {
    case TDragResult::Zoom:
        m_actions.zoomTo(QRect(m_start, pos).normalized());
        break;
    case TDragResult::Undo:
        m_actions.undoZoom();
        break;
    case TDragResult::None:
        break;
    }
}
