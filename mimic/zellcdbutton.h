#pragma once

#include "buttonregion.h"

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <array>
#include <functional>

class QPainter;
class QWidget;
class TZelLCDButtons;

// The key events of a mimic; any of them may be left empty.
struct TKeyHandlers
{
    // On press, before the key is drawn pressed.
    std::function<void(TZelLCDButtons& sender, int index)> OnButtonDown;
    // On release.
    std::function<void(TZelLCDButtons& sender, int index)> OnButtonUp;
    // On release, after OnButtonUp, with the press's length in whole milliseconds.
    std::function<void(TZelLCDButtons& sender, int index, int durationMs)> OnButtonPress;
};

// The clickable keys of a mimic: hit-testing its mouse presses against the key regions,
// timing each press and dimming the pressed key with its overlay while it is held.
class TZelLCDButtons : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxRegions = 50;
    static constexpr int kOverlaySize = 50;

    TKeyHandlers Handlers;
    // Press overlays, combined with the screen by bitwise AND: 0 white (no change), 1 white
    // with a silver ellipse touching all four sides, 2 silver.
    QList<QImage> Images;
    std::array<TButtonRegion, kMaxRegions> Regions{};
    int RegionCount = 0;

    explicit TZelLCDButtons(QObject* parent = nullptr);

    // Takes over the control's mouse presses and releases (moves do nothing) and draws on
    // it through PaintPressed, which the control's paint calls last.
    void Attach(QWidget* control);
    int AddImage(const QImage& image);

    // Presses region `index` (releasing a key still pressed first).
    void PressButton(int index);
    // Releases the pressed key, raising OnButtonUp and OnButtonPress; nothing when none is.
    void ReleaseButton();

    // -1 when no key is pressed.
    [[nodiscard]] int PressedIndex() const { return m_pressedIndex; }
    // The pressed region in control pixels.
    [[nodiscard]] QRect PressRect() const { return m_pressRect; }
    // Dims the key shown pressed: its overlay stretched over it by bitwise AND.
    void PaintPressed(QPainter& painter) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MouseDown(QPoint position);

    QPointer<QWidget> m_control;
    QElapsedTimer m_pressTime;
    int m_pressedIndex = -1;
    QRect m_pressRect;
    int m_shownImage = -1; // overlay on screen, kept until the release's events are done
};
