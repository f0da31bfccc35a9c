#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// A segment map: which LCD segment covers each pixel, with its cache file form.
// Entries are segment numbers (segment * 18 + position, 0..71) or kBackground; the grid is
// kept column by column (x outer, y inner), in memory as in the file.
class TZelBitmap
{
public:
    static constexpr uint16_t kBackground = 500;
    static constexpr int kSegmentCount = 72;
    static constexpr qint64 kHeaderBytes = 8;

    // Sets both counts and allocates every column; new entries are 0. Negative counts are
    // taken as 0.
    void SetSize(int width, int height);
    [[nodiscard]] int Width() const { return m_width; }
    [[nodiscard]] int Height() const { return m_height; }

    [[nodiscard]] uint16_t At(int x, int y) const { return m_entries[Index(x, y)]; }
    void Set(int x, int y, uint16_t value) { m_entries[Index(x, y)] = value; }
    void Fill(uint16_t value);
    // Column x as `Height` consecutive entries.
    [[nodiscard]] const uint16_t* Column(int x) const { return m_entries.data() + Index(x, 0); }

    // Reads a cache file. A file whose length is not exactly what its header claims, or that
    // holds an entry outside 0..71 and kBackground, is refused: the map is left empty and the
    // reason returned. Empty on success.
    [[nodiscard]] QString LoadFromFile(const QString& path);
    // Writes the cache file atomically (a reader never sees half a file). Empty on success.
    [[nodiscard]] QString SaveToFile(const QString& path) const;
    // Diagnostic picture of the map: grey level = low byte of each entry, 16 bits per pixel.
    [[nodiscard]] QString SaveAsBitmap(const QString& path) const;

    // Fills this map (its size already set) from `source` by nearest-neighbour sampling, so
    // the first and last rows and columns sample those of the source. This map must be at
    // least 2 x 2 and the source not empty; otherwise nothing changes and false is returned.
    bool ScaleFrom(const TZelBitmap& source);

    [[nodiscard]] static bool IsValidEntry(uint16_t value)
    {
        return value < kSegmentCount || value == kBackground;
    }
    [[nodiscard]] static qint64 FileSize(int width, int height)
    {
        return kHeaderBytes + qint64(width) * height * 2;
    }

    friend bool operator==(const TZelBitmap&, const TZelBitmap&) = default;

private:
    [[nodiscard]] size_t Index(int x, int y) const { return size_t(x) * m_height + y; }

    int m_width = 0;
    int m_height = 0;
    std::vector<uint16_t> m_entries;
};
