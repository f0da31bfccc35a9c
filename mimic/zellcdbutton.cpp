#include "zellcdbutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

QImage Overlay(bool ellipse, const QColor& fill)
{
    QImage image(TZelLCDButtons::kOverlaySize, TZelLCDButtons::kOverlaySize, QImage::Format_RGB32);
    image.fill(fill);
    if (ellipse) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kSilver);
        p.drawEllipse(QRectF(0, 0, image.width(), image.height()));
    }
    return image;
}

} // namespace

TZelLCDButtons::TZelLCDButtons(QObject* parent) : QObject(parent)
{
    AddImage(Overlay(false, Qt::white));
    AddImage(Overlay(true, Qt::white));
    AddImage(Overlay(false, kSilver));
}

void TZelLCDButtons::Attach(QWidget* control)
{
    if (m_control)
        m_control->removeEventFilter(this);
    m_control = control;
    if (m_control)
        m_control->installEventFilter(this);
}

int TZelLCDButtons::AddImage(const QImage& image)
{
    Images.append(image.copy());
    return int(Images.size()) - 1;
}

bool TZelLCDButtons::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_control) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            MouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            ReleaseButton();
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TZelLCDButtons::MouseDown(QPoint position)
{
    const int count = std::clamp(RegionCount, 0, kMaxRegions);
    const int index = buttonregion::HitTest(std::span(Regions.data(), size_t(count)), position.x(),
                                            position.y(), m_control->width(), m_control->height());
    if (index >= 0)
        PressButton(index);
}

void TZelLCDButtons::PressButton(int index)
{
    if (index < 0 || index >= kMaxRegions)
        return;
    if (m_pressedIndex >= 0)
        ReleaseButton();
    if (Handlers.OnButtonDown)
        Handlers.OnButtonDown(*this, index);
    m_pressTime.start();
    m_pressedIndex = index;
    const QSize size = m_control ? m_control->size() : QSize();
    m_pressRect = buttonregion::ToPixels(Regions[index], size.width(), size.height());
    m_shownImage = Regions[index].ImageIndex;
    if (m_control)
        m_control->update(m_pressRect);
}

void TZelLCDButtons::ReleaseButton()
{
    if (m_pressedIndex < 0)
        return;
    // Released before the events: a press arriving while OnButtonPress waits for the
    // instrument must not release, and send, this key a second time.
    const int index = std::exchange(m_pressedIndex, -1);
    const auto duration = int(std::llround(double(m_pressTime.nsecsElapsed()) / 1e6));
    if (Handlers.OnButtonUp)
        Handlers.OnButtonUp(*this, index);
    if (Handlers.OnButtonPress)
        Handlers.OnButtonPress(*this, index, duration);
    if (m_pressedIndex < 0) {
        m_shownImage = -1;
        if (m_control)
            m_control->update(m_pressRect);
    }
}

void TZelLCDButtons::PaintPressed(QPainter& painter) const
{
    if (m_shownImage < 0 || m_shownImage >= Images.size())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(m_pressRect), Images.at(m_shownImage));
    painter.restore();
}
