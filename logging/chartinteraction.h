#pragma once

#include "cursorreadout.h"

#include <QObject>
#include <QPoint>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QWidget;
class TLogChart;

// What the user does to the log chart: the two crosshair cursors and their read-out, zoom,
// undo-zoom and pan (after which the time axis stops following new samples until the zoom
// is undone), the arrow keys while the chart's page is in front, and fitting to the data.
//
// The cursors from the keyboard, while the chart has the focus: Shift+Left and Shift+Right
// move the first cursor a sample back or on (placing it in the middle of the view when there
// is none), Ctrl+Shift+Left and Ctrl+Shift+Right the second; Escape removes both; Home shows
// the whole run.
class TChartInteraction : public QObject
{
    Q_OBJECT

public:
    // `resetAxes` runs after a zoom or pan (the page's own axes; the digital lanes need
    // nothing); `units` gives the weight unit for the read-out; `page` is the widget whose
    // being in front enables the keys.
    TChartInteraction(TLogChart& chart, QLabel& readout, QWidget& page,
                      std::function<void()> resetAxes, std::function<QString()> units);
    ~TChartInteraction() override;

    // Set while the user has zoomed or panned the chart.
    [[nodiscard]] bool UserZoomed() const { return m_userZoomed; }
    void ClearUserZoomed() { m_userZoomed = false; }

    // Cursor placement: Shift + left sets the first crosshair, Shift + right the second; any
    // other click clears them (a plain right click only the second). A crosshair stands at
    // the clicked time and the weight trace's value there, which the read-out shows.
    void ChartMouseDown(const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // A redraw has wiped the crosshairs; the read-out keeps its text until the next click.
    void ChartAfterDraw();
    // Both crosshairs and the read-out gone: the chart holds other data now.
    void ClearCursors();
    // Left and Right move the time axis by a tenth of its width, Up and Down the weight axis;
    // the axis stops scaling itself. False for any other key.
    bool ArrowKey(int key);
    // Time from 0 to the last sample, weight with a tenth of its spread added either side (a
    // flat weight: a few of the weight axis's divisions).
    void Fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Zoomed();
    void ZoomUndone();
    void Panned();
    bool CursorKey(int key, Qt::KeyboardModifiers modifiers);
    void MoveCursor(int cursor, int steps);
    void BringIntoView(double time);
    void PlaceCursor(int cursor, double time, double tolerance = 0.0);
    void ShowReadout();
    [[nodiscard]] std::vector<cursorreadout::TChannelState> States(double time) const;
    [[nodiscard]] std::optional<cursorreadout::TChartValue> Present(int cursor) const;
    [[nodiscard]] bool InFront(const QObject* receiver) const;

    TLogChart& m_chart;
    QLabel& m_readout;
    QWidget& m_page;
    std::function<void()> m_resetAxes;
    std::function<QString()> m_units;
    bool m_userZoomed = false;
    std::array<std::optional<cursorreadout::TChartValue>, 2> m_values;
};
