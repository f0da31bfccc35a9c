#pragma once

#include "panelpicture.h"
#include "zelmimic.h"

#include <QTimer>

// The Q910's front panel: the picture named by [Images] Instrument with the live LCD in its
// display window and the six keys, index 0 the small key at the far left and 1..5 the keys
// along the bottom. The main window makes two: the Display tab's, with key handlers, and
// the Calibration tab's, without.
class TQ910LCD : public TZelMimic
{
    Q_OBJECT

public:
    // `pictureFile`: path of the front-panel picture (a bitmap or a JPEG image). The
    // segment pictures and the map cache are looked for in the program's directory.
    explicit TQ910LCD(const QString& pictureFile, QWidget* parent = nullptr);
    ~TQ910LCD() override;

    void PaintLCD() override;
    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The next paint adapts to the new size.
    void resizeEvent(QResizeEvent*) override {}

private:
    [[nodiscard]] QSize DeviceSize() const;
    [[nodiscard]] QRect DeviceLcdRect() const { return LcdRect(DeviceSize()); }
    // The LCD in control pixels: the least rectangle holding it (what a repaint of the LCD
    // covers) or the largest one inside it (what the LCD covers wholly).
    [[nodiscard]] QRect LogicalLcdRect(bool inside) const;
    void DrawPanel(QPainter& painter, const QRegion& region);
    void DrawLcd(QPainter& painter);

    TPanelPicture m_picture;
    // Lets the full-size picture go once the control has kept its size for a while.
    QTimer m_releaseFullSize;
};
