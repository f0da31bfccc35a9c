#include "q910panel.h"

namespace q910panel {

namespace {

TSegmentDefinition S(qint32 top, qint32 left, const char* name)
{
    return {top, left, QStringLiteral("segs\\%1.bmp").arg(QLatin1String(name)), 0};
}

TSegmentsDefinition MakeSegmentTable()
{
    // Per position, segments 0..3: picture (Top, Left) in the 1036 x 287 map.
    return {
        S(13, 898, "8i"),   S(63, 888, "8j"),   S(123, 987, "8k"),  S(0, 987, "8k"),    // 0
        S(259, 101, "8a1"), S(259, 0, "8b"),    S(259, 176, "8c"),  S(260, 328, "8d"),  // 1
        S(259, 409, "8e"),  S(259, 462, "8f"),  S(259, 645, "8g"),  S(259, 681, "8h"),  // 2
        S(114, 887, "7a"),  S(147, 873, "7b"),  S(173, 904, "7c"),  S(233, 903, "7d"),  // 3
        S(114, 953, "7e"),  S(173, 948, "7f"),  S(241, 944, "7g"),  S(173, 961, "7h"),  // 4
        S(11, 770, "a"),    S(21, 834, "b"),    S(131, 825, "c"),   S(222, 752, "d"),   // 5
        S(131, 744, "e"),   S(19, 752, "f"),    S(117, 762, "g"),   S(256, 843, "6h"),  // 6
        S(11, 621, "a"),    S(21, 685, "b"),    S(131, 676, "c"),   S(222, 603, "d"),   // 7
        S(131, 595, "e"),   S(19, 603, "f"),    S(117, 613, "g"),   S(222, 711, "h"),   // 8
        S(11, 472, "a"),    S(21, 536, "b"),    S(131, 527, "c"),   S(222, 454, "d"),   // 9
        S(131, 446, "e"),   S(19, 454, "f"),    S(117, 464, "g"),   S(222, 562, "h"),   // 10
        S(11, 324, "a"),    S(21, 388, "b"),    S(131, 379, "c"),   S(222, 306, "d"),   // 11
        S(131, 298, "e"),   S(19, 306, "f"),    S(117, 316, "g"),   S(222, 414, "h"),   // 12
        S(11, 175, "a"),    S(21, 239, "b"),    S(131, 230, "c"),   S(222, 157, "d"),   // 13
        S(131, 149, "e"),   S(19, 157, "f"),    S(117, 167, "g"),   S(222, 265, "h"),   // 14
        S(11, 26, "a"),     S(21, 90, "b"),     S(131, 81, "c"),    S(222, 8, "d"),     // 15
        S(131, 0, "e"),     S(19, 8, "f"),      S(117, 18, "g"),    S(222, 116, "h"),   // 16
        S(259, 252, "8a2"), S(259, 555, "8a3"), S(259, 737, "8a4"), S(259, 894, "8a5"), // 17
    };
}

} // namespace

const TSegmentsDefinition& SegmentTable()
{
    static const TSegmentsDefinition table = MakeSegmentTable();
    return table;
}

const std::array<TButtonRegion, kKeyCount>& KeyRegions()
{
    static const std::array<TButtonRegion, kKeyCount> regions{{
        {66, 100, 705, 780, 1},
        {139, 216, 700, 813, 1},
        {255, 332, 717, 826, 1},
        {376, 453, 720, 834, 1},
        {493, 571, 720, 834, 1},
        {610, 690, 717, 826, 1},
    }};
    return regions;
}

void ConfigureLcd(TZelLCD& lcd)
{
    lcd.OffColour = kOffColour;
    lcd.OnColour = kOnColour;
    lcd.MapWidth = kMapWidth;
    lcd.MapHeight = kMapHeight;
    lcd.Segments = SegmentTable();
    lcd.Name = kLcdName;
    lcd.UseImageList = false;
}

} // namespace q910panel
