#include "q910lcd.h"
#include "displaydecoder.h"
#include "q910panel.h"

#include <QPainter>

namespace {

const QColor kNoPicture(0x2B, 0x2F, 0x36);

} // namespace

TQ910LCD::TQ910LCD(const QString& pictureFile, QWidget* parent)
    : TZelMimic(parent), m_picture(pictureFile)
{
    PictureFile = pictureFile;
    LCDLeft = q910panel::kLcdLeft;
    LCDTop = q910panel::kLcdTop;
    LCDWidth = q910panel::kLcdWidth;
    LCDHeight = q910panel::kLcdHeight;
    q910panel::ConfigureLcd(LCD);
    const auto& keys = q910panel::KeyRegions();
    std::copy(keys.begin(), keys.end(), Buttons.Regions.begin());
    Buttons.RegionCount = q910panel::kKeyCount;
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

TQ910LCD::~TQ910LCD()
{
    LCD.ImageList = nullptr;
}

QSize TQ910LCD::sizeHint() const
{
    return QSize(q910panel::kAspectWidth / 2, q910panel::kAspectHeight / 2);
}

QSize TQ910LCD::DeviceSize() const
{
    return (QSizeF(size()) * devicePixelRatioF()).toSize();
}

void TQ910LCD::PaintLCD()
{
    displaydecoder::MirrorPosition17(LCD.SegmentState);
    if (!isVisible())
        return;
    const qreal ratio = devicePixelRatioF();
    const QRect device = DeviceLcdRect();
    repaint(QRectF(device.x() / ratio, device.y() / ratio, device.width() / ratio,
                   device.height() / ratio)
                .toAlignedRect());
}

void TQ910LCD::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawPanel(painter);
    DrawLcd(painter);
    Buttons.PaintPressed(painter);
}

void TQ910LCD::DrawPanel(QPainter& painter)
{
    if (m_picture.Path() != PictureFile)
        m_picture.SetPath(PictureFile);
    ReportError(ErrorSource::Picture, m_picture.Refresh().error);
    const QImage& panel = m_picture.Scaled(DeviceSize());
    if (panel.isNull())
        painter.fillRect(rect(), kNoPicture);
    else
        painter.drawImage(QRectF(rect()), panel);
}

void TQ910LCD::DrawLcd(QPainter& painter)
{
    displaydecoder::MirrorPosition17(LCD.SegmentState);
    const QRect r = DeviceLcdRect();
    (void)LCD.Draw(r.x(), r.y(), painter, r.height(), r.width());
    ReportError(ErrorSource::SegmentMap, LCD.MapError());
}
