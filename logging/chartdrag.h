#pragma once

#include <QPoint>
#include <QRect>

#include <functional>

class QRubberBand;
class QWidget;

// A mouse drag on the chart's plot area: with the left button a rubber band that zooms to
// the rectangle when drawn towards the lower right and undoes the zoom when drawn towards the
// upper left; with the right button a pan that follows the mouse as it moves.
class TChartDrag
{
public:
    struct TActions
    {
        std::function<void(const QRect&)> zoomTo;
        std::function<void()> undoZoom;
        std::function<void(const QPoint& from, const QPoint& to)> panBy;
    };

    // The rubber band is a child of `owner`, drawn over what it holds.
    TChartDrag(QWidget& owner, TActions actions);

    // A press that starts a drag with `button` (any other button starts none).
    void Press(const QPoint& pos, Qt::MouseButton button);
    // A press that starts no drag: one under way ends without effect.
    void Cancel() { m_drag = TKind::None; }
    void Move(const QPoint& pos);
    void Release(const QPoint& pos);

private:
    enum class TKind
    {
        None,
        Zoom,
        Pan
    };

    TActions m_actions;
    QRubberBand* m_rubberBand;
    TKind m_drag = TKind::None;
    QPoint m_start;
    QPoint m_last;
};
