#include "segmentart.h"
#include "lcdshapes.h"

#include "q910panel.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <cmath>
#include <utility>

namespace artgen {

namespace {

using namespace lcdshapes;

// The map is drawn into a window about 1.15 times wider per row than per column, so
// lettering is widened by that much to look upright on the panel.
constexpr qreal kStretch = 1.15;
constexpr qreal kSlant = 0.0865;

// The six large digits; the leftmost (positions 15, 16) stands at column 0.
DigitGeometry LargeDigit(qreal baseX)
{
    return {baseX, 11, 243, 105, 21, 24, 3, kSlant, 217.5, 128};
}

// The small digit at the right, low beside the large ones.
DigitGeometry SmallDigit()
{
    return {953, 204, 286, 42, 8, 9, 2, kSlant, 275.5, 245};
}

// Bottom row of annunciators: lettering on rows 260..279, the editing bar on 281..286.
constexpr qreal kLabelTop = 260;
constexpr qreal kLabelBottom = 279;
constexpr qreal kBarTop = 281;
constexpr qreal kBarBottom = 287;

QRectF Label(qreal left, qreal right)
{
    return QRectF(QPointF(left, kLabelTop), QPointF(right, kLabelBottom));
}

QRectF BarPiece(qreal left, qreal right)
{
    return QRectF(QPointF(left, kBarTop), QPointF(right, kBarBottom));
}

// The unit pointer: a small arrow at the window's right edge pointing at a unit legend
// printed on the bezel; `top` is the table row of the picture.
QPainterPath UnitPointer(qreal top)
{
    return Triangle({1011, top + 7}, {1031, top + 18}, {1011, top + 29});
}

QPainterPath AnnunciatorShape(const QString& name)
{
    if (name == u"8i")
        return LetteringAt(QStringLiteral("kg"), 42, {903, 48}, kStretch);
    if (name == u"8j")
        return LetteringAt(QStringLiteral("lb"), 42, {906, 100}, kStretch);
    if (name == u"8k")
        return UnitPointer(0);
    if (name == u"8b")
        return Lettering(QStringLiteral("ZERO"), Label(6, 94), kStretch);
    if (name == u"8c")
        return Lettering(QStringLiteral("\u21920\u2190"), Label(182, 246), kStretch);
    if (name == u"8d")
        return Lettering(QStringLiteral("MOTION"), Label(333, 404), kStretch);
    if (name == u"8e")
        return Lettering(QStringLiteral("NET"), Label(413, 457), kStretch);
    if (name == u"8f")
        return Lettering(QStringLiteral("GROSS"), Label(468, 548), kStretch);
    if (name == u"8g")
        return BoxedNumeral(QStringLiteral("1"), QRectF(647, 259.5, 31, 20), kStretch);
    if (name == u"8h")
        return BoxedNumeral(QStringLiteral("2"), QRectF(684, 259.5, 31, 20), kStretch);
    if (name == u"8a1")
        return Bar(BarPiece(104, 252));
    if (name == u"8a2")
        return Bar(BarPiece(252, 555));
    if (name == u"8a3")
        return Bar(BarPiece(555, 737));
    if (name == u"8a4")
        return Bar(BarPiece(737, 894));
    if (name == u"8a5")
        return Bar(BarPiece(894, 946));
    return {};
}

QPainterPath DigitShape(const QString& name)
{
    if (name == u"6h")
        return LowPoint(LargeDigit(744), 258, 279);
    if (name.size() == 2 && name.at(0) == u'7')
        return Stroke(SmallDigit(), name.at(1).toLatin1());
    if (name.size() == 1)
        return Stroke(LargeDigit(0), name.at(0).toLatin1());
    return {};
}

QString BaseName(const QString& fileName)
{
    QString name = fileName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QFileInfo(name).completeBaseName();
}

// Where a picture is designed for: the leftmost, then topmost, of its table entries.
const TSegmentDefinition* Placement(const QString& baseName)
{
    const TSegmentDefinition* found = nullptr;
    for (const TSegmentDefinition& def : q910panel::SegmentTable()) {
        if (BaseName(def.FileName) != baseName)
            continue;
        if (!found || std::pair(def.Left, def.Top) < std::pair(found->Left, found->Top))
            found = &def;
    }
    return found;
}

QImage Render(const QPainterPath& shape, const TSegmentDefinition& at)
{
    const QRectF bounds = shape.boundingRect();
    // Whole 32-pixel words per row: the picture writer copies row padding from memory it
    // never clears, and a picture without padding is the same file on every run.
    const int width = (int(std::ceil(bounds.right() - at.Left)) + 1 + 31) / 32 * 32;
    const int height = int(std::ceil(bounds.bottom() - at.Top)) + 1;
    QImage grey(width, height, QImage::Format_Grayscale8);
    grey.fill(255);
    {
        QPainter p(&grey);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-at.Left, -at.Top);
        p.fillPath(shape, Qt::black);
    }
    // Two colours only: a pixel belongs to the segment when it is at least half covered.
    QImage mono(width, height, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < height; ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = 0; x < width; ++x)
            mono.setPixel(x, y, line[x] < 128 ? 0 : 1);
    }
    return mono;
}

} // namespace

QPainterPath SegmentShape(const QString& baseName)
{
    QPainterPath shape = DigitShape(baseName);
    return shape.isEmpty() ? AnnunciatorShape(baseName) : shape;
}

QList<SegmentPicture> DrawSegmentPictures(QString* error)
{
    QList<SegmentPicture> pictures;
    QStringList done;
    for (const TSegmentDefinition& def : q910panel::SegmentTable()) {
        const QString name = BaseName(def.FileName);
        if (done.contains(name))
            continue;
        done << name;
        const QPainterPath shape = SegmentShape(name);
        const TSegmentDefinition* at = Placement(name);
        // Nothing of a shape may lie above or left of its picture's place.
        const QRectF bounds = shape.boundingRect();
        if (shape.isEmpty() || bounds.left() < at->Left - 0.5 || bounds.top() < at->Top - 0.5) {
            *error = QStringLiteral("segment %1 does not fit its place").arg(name);
            return {};
        }
        pictures.append({def.FileName, Render(shape, *at)});
    }
    return pictures;
}

bool WriteSegmentPictures(const QString& dataDir, QString* error)
{
    const QList<SegmentPicture> pictures = DrawSegmentPictures(error);
    if (pictures.isEmpty())
        return false;
    for (const SegmentPicture& picture : pictures) {
        QString relative = picture.fileName;
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString path = QDir(dataDir).filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!picture.image.save(path, "BMP")) {
            *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
    }
    return true;
}

} // namespace artgen
