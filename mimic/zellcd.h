#pragma once

#include "zelbitmap.h"

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class QPainter;

// One segment's picture and where its first row and column go in the full-size map.
struct TSegmentDefinition
{
    qint32 Top = 0;
    qint32 Left = 0;
    QString FileName; // relative to Directory; "\" and "/" both separate folders
    qint32 ImageIndex = 0;
};

constexpr int kLcdPositions = 18;
constexpr int kSegmentsPerPosition = 4;

// Position-major: entry position * 4 + segment.
using TSegmentsDefinition = std::array<TSegmentDefinition, TZelBitmap::kSegmentCount>;
// 0 unlit, 1 lit; entry position * 4 + segment.
using TSegmentStates = std::array<uint8_t, TZelBitmap::kSegmentCount>;

// A segment display: the segment table and states of one LCD and their drawing into a
// 32-bit image, each pixel the palette colour of its segment's state. The full-size map comes from
// the cache file Name + ".zmp" in Directory, or is built from the segment pictures when that file
// is absent or unusable.
class TZelLCD
{
public:
    static constexpr int kOffIndex = 100;
    static constexpr int kOnIndex = 101;
    static constexpr int kMaxRows = 3000;

    // Colours are 0x00BBGGRR.
    uint32_t OnColour = 0;
    uint32_t OffColour = 0;
    qint32 MapHeight = 20;
    qint32 MapWidth = 40;
    const QList<QImage>* ImageList = nullptr; // never owned
    bool UseImageList = false;
    QString Name;
    // Where FileName and the cache files are found: the program's directory (taken when the
    // LCD is made) unless set.
    QString Directory;
    TSegmentsDefinition Segments;
    TSegmentStates SegmentState{};

    TZelLCD();

    // Marks one segment picture's black pixels with segment * 18 + position in `map`.
    [[nodiscard]] QString LoadSegment(int position, int segment, TZelBitmap& map) const;
    // Prepares the scaled map and the output image for a drawing size, from the cache file
    // or, when that is absent or refused, from the pictures (then writing the cache).
    [[nodiscard]] QString BuildMap(int width, int height);
    [[nodiscard]] QString CreatePalette(int width, int height);

    // Draws the current states at (x, y) of `canvas`, width x height device pixels, as an
    // opaque copy. Rebuilds the map only when the size changed; sizes below 2 x 2 or over
    // kMaxRows rows draw nothing. Returns the reason when the map could not be built (the
    // blank LCD is drawn then).
    [[nodiscard]] QString Draw(int x, int y, QPainter& canvas, int height, int width);
    // The same frame as Draw without a canvas; a null image for an unsupported size. Repaints
    // the image only when the states or the size changed since the last frame.
    const QImage& Frame(int height, int width, QString* error = nullptr);

    [[nodiscard]] const TZelBitmap& ScaledMap() const { return m_scaledMap; }
    // Why the last map build failed; empty when it worked or none was made yet.
    [[nodiscard]] const QString& MapError() const { return m_mapError; }
    [[nodiscard]] QString MapPath() const;
    [[nodiscard]] QString DiagnosticPath() const;
    [[nodiscard]] static QRgb ToRgb(uint32_t colour);
    [[nodiscard]] static bool IsDrawableSize(int width, int height)
    {
        return width >= 2 && height >= 2 && height <= kMaxRows;
    }

private:
    [[nodiscard]] QString FullSizeMap(TZelBitmap& map) const;
    [[nodiscard]] QString BuildFromPictures(TZelBitmap& map) const;
    [[nodiscard]] QImage SegmentPicture(const TSegmentDefinition& def, QString* error) const;
    void UpdatePalette();
    void Repaint();

    TZelBitmap m_scaledMap;
    QImage m_outputBitmap;
    std::optional<QList<QRgb>> m_palette;
    // The colour of every map entry for the states being drawn; entries past kBackground
    // (none in a map that was accepted) take the unlit colour.
    std::array<QRgb, TZelBitmap::kBackground + 2> m_lookup{};
    std::optional<TSegmentStates> m_drawnState;
    QString m_mapError;
};
