#pragma once

#include "zellcd.h"
#include "zellcdbutton.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

class TMimicKeys;

// A front-panel mimic: a paint-box control that draws an instrument's front-panel picture
// with its live LCD inside it and lets the mouse press the instrument's keys. The LCD
// rectangle is in per mille of the control's size; subclasses draw the panel.
//
// Keeping it live is its page's part: while the page is in front the engine polls the
// display register whenever the link is idle, each reply's data goes to DecodeDisplay, and
// a poll left unanswered, or a change of connection, calls BlankDisplay.
class TZelMimic : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int LCDLeft MEMBER LCDLeft)
    Q_PROPERTY(int LCDTop MEMBER LCDTop)
    Q_PROPERTY(int LCDWidth MEMBER LCDWidth)
    Q_PROPERTY(int LCDHeight MEMBER LCDHeight)

public:
    using ErrorHandler = std::function<void(const QString& message)>;

    int LCDLeft = 0;
    int LCDTop = 0;
    int LCDWidth = 0;
    int LCDHeight = 0;
    TZelLCD LCD;
    TZelLCDButtons Buttons;
    QString PictureFile;

    explicit TZelMimic(QWidget* parent = nullptr);

    // Has the LCD rectangle redrawn from LCD.SegmentState (position 17 follows position 1,
    // segment 0) at the next paint. Called after every change of the states.
    virtual void PaintLCD() = 0;

    // The display register's reply data (the text after ":" of a 0x0009 reply); fewer than
    // 18 characters change nothing. Has the LCD redrawn when a segment changed.
    void DecodeDisplay(const QString& data);
    // All segments unlit; redrawn when any was lit.
    void BlankDisplay();

    // Key events; a mimic without handlers still dims a pressed key and sends nothing.
    void SetKeyHandlers(const TKeyHandlers& handlers);
    // Routes the three key events to the main window's key helper, which must outlive the
    // mimic or be replaced before it goes.
    void SetKeyHandlers(TMimicKeys& keys);
    // Told, after the paint that met it, when the front-panel picture vanished or became
    // unreadable or the LCD's segment map could not be built: once per distinct failure,
    // not on every repaint.
    void SetErrorHandler(ErrorHandler handler);

    // The LCD rectangle for a control of `size` pixels (truncating per mille).
    [[nodiscard]] QRect LcdRect(QSize size) const;
    [[nodiscard]] QRect LcdRect() const { return LcdRect(size()); }

protected:
    enum class ErrorSource
    {
        Picture,
        SegmentMap
    };

    // Passes `error` on when it differs from that source's last one; an empty error (the
    // source works again) re-arms it.
    void ReportError(ErrorSource source, const QString& error);

private:
    ErrorHandler m_errorHandler;
    QString m_reported[2];
};
