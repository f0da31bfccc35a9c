#include "zelmimic.h"
#include "displaydecoder.h"
#include "mimickeys.h"

#include <QMetaObject>

TZelMimic::TZelMimic(QWidget* parent) : QWidget(parent)
{
    Buttons.Attach(this);
}

void TZelMimic::DecodeDisplay(const QString& data)
{
    const TSegmentStates shown = LCD.SegmentState;
    if (!displaydecoder::DecodeDisplay(data, LCD.SegmentState))
        return;
    displaydecoder::MirrorPosition17(LCD.SegmentState);
    // The display is polled ten times a second and mostly shows the same.
    if (LCD.SegmentState != shown)
        PaintLCD();
}

void TZelMimic::BlankDisplay()
{
    const TSegmentStates shown = LCD.SegmentState;
    displaydecoder::BlankDisplay(LCD.SegmentState);
    if (LCD.SegmentState != shown)
        PaintLCD();
}

void TZelMimic::SetKeyHandlers(const TKeyHandlers& handlers)
{
    Buttons.Handlers = handlers;
}

void TZelMimic::SetKeyHandlers(TMimicKeys& keys)
{
    TMimicKeys* target = &keys;
    Buttons.Handlers = {
        [target](TZelLCDButtons&, int index) { target->ButtonDown(index); },
        [target](TZelLCDButtons&, int index) { target->ButtonUp(index); },
        [target](TZelLCDButtons&, int index, int ms) { target->ButtonPress(index, ms); },
    };
}

void TZelMimic::SetErrorHandler(ErrorHandler handler)
{
    m_errorHandler = std::move(handler);
}

QRect TZelMimic::LcdRect(QSize size) const
{
    const qint64 w = size.width();
    const qint64 h = size.height();
    return QRect(int(w * LCDLeft / 1000), int(h * LCDTop / 1000), int(w * LCDWidth / 1000),
                 int(h * LCDHeight / 1000));
}

void TZelMimic::ReportError(ErrorSource source, const QString& error)
{
    QString& last = m_reported[source == ErrorSource::Picture ? 0 : 1];
    if (error == last)
        return;
    last = error;
    if (error.isEmpty() || !m_errorHandler)
        return;
    // Not from inside the paint: the handler may well open a message box.
    QMetaObject::invokeMethod(
        this,
        [this, error] {
            if (m_errorHandler)
                m_errorHandler(error);
        },
        Qt::QueuedConnection);
}
