#include "q910lcd.h"
#include "displaydecoder.h"
#include "q910panel.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

const QColor kNoPicture(0x2B, 0x2F, 0x36);
// A window being laid out or resized by hand changes size many times in a row; each new
// size is scaled from the decoded picture as long as this passes between them.
constexpr int kFullSizeKeptMs = 500;

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
    m_releaseFullSize.setSingleShot(true);
    m_releaseFullSize.setInterval(kFullSizeKeptMs);
    connect(&m_releaseFullSize, &QTimer::timeout, this, [this] { m_picture.ReleaseFullSize(); });
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

QRect TQ910LCD::LogicalLcdRect(bool inside) const
{
    const qreal ratio = devicePixelRatioF();
    const QRect device = DeviceLcdRect();
    const QRectF r(device.x() / ratio, device.y() / ratio, device.width() / ratio,
                   device.height() / ratio);
    if (!inside)
        return r.toAlignedRect();
    const QPoint topLeft(int(std::ceil(r.left())), int(std::ceil(r.top())));
    const QPoint end(int(std::floor(r.right())), int(std::floor(r.bottom())));
    return QRect(topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y()));
}

void TQ910LCD::PaintLCD()
{
    displaydecoder::MirrorPosition17(LCD.SegmentState);
    // Queued: replies that come faster than the screen is drawn make one paint.
    if (isVisible())
        update(LogicalLcdRect(false));
}

void TQ910LCD::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // The LCD is opaque: the picture is drawn only around it.
    const QRegion around = event->region() - LogicalLcdRect(true);
    if (!around.isEmpty())
        DrawPanel(painter, around);
    if (event->region().intersects(LogicalLcdRect(false)))
        DrawLcd(painter);
    Buttons.PaintPressed(painter);
}

void TQ910LCD::DrawPanel(QPainter& painter, const QRegion& region)
{
    if (m_picture.Path() != PictureFile)
        m_picture.SetPath(PictureFile);
    ReportError(ErrorSource::Picture, m_picture.Refresh(DeviceSize()).error);
    const QImage& panel = m_picture.Scaled(DeviceSize());
    if (m_picture.HoldsFullSize())
        m_releaseFullSize.start();
    const qreal ratio = devicePixelRatioF();
    for (const QRect& r : region) {
        if (panel.isNull())
            painter.fillRect(r, kNoPicture);
        else
            painter.drawImage(
                QRectF(r), panel,
                QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    }
}

void TQ910LCD::DrawLcd(QPainter& painter)
{
    displaydecoder::MirrorPosition17(LCD.SegmentState);
    const QRect r = DeviceLcdRect();
    (void)LCD.Draw(r.x(), r.y(), painter, r.height(), r.width());
    ReportError(ErrorSource::SegmentMap, LCD.MapError());
}
