// The Q910 panel control as the main window uses it: live LCD, keys, picture handling.
#include "lcdtext.h"
#include "mimictestdata.h"

#include "eventwait.h"

#include "mimickeys.h"
#include "q910lcd.h"
#include "q910panel.h"

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

class Q910LcdTest : public ::testing::Test
{
protected:
    Q910LcdTest() : mimic(dir.Picture())
    {
        mimic.LCD.Directory = dir.Path();
        mimic.resize(1000, 491);
        mimic.SetErrorHandler([this](const QString& message) { errors << message; });
    }

    // Key events as "d2 u2 p2 " (down, up, press with index).
    void RecordKeys()
    {
        const auto note = [this](char kind, int index) {
            events += kind + std::to_string(index) + ' ';
        };
        mimic.SetKeyHandlers(TKeyHandlers{
            [note](TZelLCDButtons&, int i) { note('d', i); },
            [note](TZelLCDButtons&, int i) { note('u', i); },
            [note](TZelLCDButtons&, int i, int) { note('p', i); },
        });
    }

    QPoint KeyCentre(int index) const
    {
        return buttonregion::ToPixels(q910panel::KeyRegions()[size_t(index)], 1000, 491).center();
    }

    QImage Shot()
    {
        const QImage shot = mimic.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCoreApplication::processEvents(); // error reports are queued past the paint
        return shot;
    }

    // LCD pixels of the shot that are not On where the scaled map's segment is lit, else Off.
    int LcdMismatches(const QImage& shot) const
    {
        const QRect r = mimic.LcdRect();
        const TZelBitmap& map = mimic.LCD.ScaledMap();
        int wrong = 0;
        for (int y = 0; y < r.height(); ++y) {
            for (int x = 0; x < r.width(); ++x) {
                const int n = map.At(x, y);
                const bool lit = n != 500 && mimic.LCD.SegmentState[size_t((n % 18) * 4 + n / 18)];
                const QRgb want =
                    TZelLCD::ToRgb(lit ? q910panel::kOnColour : q910panel::kOffColour);
                wrong += (shot.pixel(r.x() + x, r.y() + y) & RGB_MASK) != (want & RGB_MASK);
            }
        }
        return wrong;
    }

    ProgramDir dir;
    TQ910LCD mimic;
    std::string events;
    QStringList errors;
};

TEST_F(Q910LcdTest, LcdWindowShowsExactlyTheDecodedSegments)
{
    // -12.345 kg, net, centre of zero.
    mimic.DecodeDisplay(DisplayDataFor(QStringLiteral("-12.345"), QStringLiteral("00141")));
    const QImage shot = Shot();
    if (const QByteArray out = qgetenv("MIMIC_SCREENSHOT_DIR"); !out.isEmpty())
        shot.save(QDir(QString::fromLocal8Bit(out)).filePath(QStringLiteral("mimic.png")));
    ASSERT_EQ(mimic.LCD.ScaledMap().Width(), mimic.LcdRect().width());
    EXPECT_EQ(LcdMismatches(shot), 0);
    EXPECT_TRUE(mimic.LCD.SegmentState[16 * 4 + 2]); // minus: stroke g of the leftmost digit
    EXPECT_TRUE(mimic.LCD.SegmentState[12 * 4 + 3]); // the point after "12"
    EXPECT_TRUE(errors.isEmpty());

    mimic.DecodeDisplay(QStringLiteral("00") + QString(15, u'0') + QStringLiteral("10"));
    for (int segment = 0; segment < 4; ++segment) // the editing bar's other four pieces
        EXPECT_EQ(mimic.LCD.SegmentState[size_t(17 * 4 + segment)], 1) << segment;
    EXPECT_EQ(LcdMismatches(Shot()), 0);

    mimic.DecodeDisplay(QStringLiteral("00FF"));
    EXPECT_EQ(mimic.LCD.SegmentState[1 * 4], 1); // too short: unchanged
    mimic.BlankDisplay();
    EXPECT_EQ(mimic.LCD.SegmentState, TSegmentStates{});
    EXPECT_EQ(LcdMismatches(Shot()), 0);
}

TEST_F(Q910LcdTest, KeyEventsFollowTheMouse)
{
    RecordKeys();
    QTest::mouseClick(&mimic, Qt::LeftButton, {}, KeyCentre(2));
    QTest::mouseClick(&mimic, Qt::LeftButton, {}, QPoint(500, 50));           // no key
    QTest::mouseClick(&mimic, Qt::RightButton, {}, mimic.LcdRect().center()); // no key
    QTest::mousePress(&mimic, Qt::LeftButton, {}, KeyCentre(4));
    EXPECT_EQ(mimic.Buttons.PressedIndex(), 4);
    QTest::mouseRelease(&mimic, Qt::LeftButton, {}, QPoint(990, 10)); // released off the key
    mimic.Buttons.PressButton(1);
    mimic.Buttons.PressButton(3); // a new press releases the key still held
    EXPECT_EQ(events, "d2 u2 p2 d4 u4 p4 d1 u1 p1 d3 ");
    EXPECT_EQ(mimic.Buttons.PressedIndex(), 3);
}

TEST_F(Q910LcdTest, AKeyPressedDuringItsOwnSendIsNotSentTwice)
{
    int presses = 0;
    // The wait for the instrument's reply pumps events: a new press arrives meanwhile.
    mimic.SetKeyHandlers(TKeyHandlers{nullptr, nullptr, [&](TZelLCDButtons& keys, int, int) {
                                          if (++presses == 1)
                                              keys.PressButton(5);
                                      }});
    mimic.Buttons.PressButton(2);
    mimic.Buttons.ReleaseButton();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(mimic.Buttons.PressedIndex(), 5);
}

// The Calibration tab's mimic: no handlers, the key only dims while held.
TEST_F(Q910LcdTest, PressedKeyIsDimmedByItsOverlayAndRestoredAfter)
{
    const QImage before = Shot();
    const QPoint centre = KeyCentre(3);
    const QPoint corner = buttonregion::ToPixels(q910panel::KeyRegions()[3], 1000, 491).topLeft();
    QTest::mousePress(&mimic, Qt::LeftButton, {}, centre);
    const QImage pressed = Shot();
    QTest::mouseRelease(&mimic, Qt::LeftButton, {}, centre);
    // Silver (0xC0) inside the ellipse, ANDed with the screen; white at the corners.
    EXPECT_EQ(pressed.pixel(centre) & RGB_MASK, before.pixel(centre) & 0xC0C0C0);
    EXPECT_NE(pressed.pixel(centre), before.pixel(centre));
    EXPECT_EQ(pressed.pixel(corner), before.pixel(corner));
    EXPECT_EQ(Shot(), before);
}

TEST_F(Q910LcdTest, DisplayTabWiringSendsKeyMessages)
{
    QStringList sent;
    TMimicKeys keys(
        [&](const QString& data) {
            sent << data;
            return true;
        },
        nullptr);
    mimic.SetKeyHandlers(keys);
    for (int key : {2, 0, 5})
        QTest::mouseClick(&mimic, Qt::LeftButton, {}, KeyCentre(key));
    EXPECT_EQ(sent, (QStringList{QStringLiteral("8003"), QStringLiteral("8006")}));
    EXPECT_FALSE(keys.tmrButton().isActive());
}

TEST_F(Q910LcdTest, PictureFailuresAreReportedOnceAndTheLastGoodPictureKept)
{
    const QImage good = Shot();
    QFile::remove(dir.Picture());
    Shot();
    Shot();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("missing")));
    QFile file(dir.Picture());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();
    EXPECT_EQ(Shot().pixel(5, 5), good.pixel(5, 5));
    EXPECT_EQ(errors.size(), 2);

    QImage red(100, 49, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.Picture(), "JPEG", 100));
    const QImage shot = Shot();
    EXPECT_GT(qRed(shot.pixel(5, 5)), 240);
    EXPECT_LT(qGreen(shot.pixel(5, 5)), 20);
    EXPECT_EQ(errors.size(), 2);
}

TEST_F(Q910LcdTest, MissingSegmentPicturesAreReportedAndTheLcdLeftBlank)
{
    QFile::remove(dir.File(QStringLiteral("segs/g.bmp")));
    mimic.DecodeDisplay(DisplayDataFor(QStringLiteral("888888")));
    const QImage shot = Shot();
    Shot();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("g.bmp")));
    const QRgb off = TZelLCD::ToRgb(q910panel::kOffColour);
    EXPECT_EQ(shot.pixel(mimic.LcdRect().center()) & RGB_MASK, off & RGB_MASK);
}

// The regions of a widget's paints.
class PaintLog : public QObject
{
public:
    explicit PaintLog(QWidget& widget) { widget.installEventFilter(this); }
    QList<QRegion> regions;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            regions << static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

// Every queued update painted.
void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The display is polled ten times a second and mostly unchanged: only a change of segments is
// drawn, only the LCD, and replies faster than the screen make one paint.
TEST_F(Q910LcdTest, OnlyAChangedDisplayIsRedrawnAndOnlyItsLcd)
{
    mimic.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mimic));
    Settle();
    PaintLog paints(mimic);
    const QString weight = DisplayDataFor(QStringLiteral("12.3"));
    mimic.DecodeDisplay(weight);
    ASSERT_TRUE(RunUntil([&] { return paints.regions.size() == 1; }));
    EXPECT_EQ(paints.regions.first(), QRegion(mimic.LcdRect()));

    mimic.DecodeDisplay(weight);
    mimic.DecodeDisplay(weight + QStringLiteral("garbage after it")); // same segments
    mimic.DecodeDisplay(QStringLiteral("00FF"));                      // too short
    Settle();
    EXPECT_EQ(paints.regions.size(), 1);

    mimic.DecodeDisplay(DisplayDataFor(QStringLiteral("12.4")));
    mimic.DecodeDisplay(DisplayDataFor(QStringLiteral("12.5")));
    mimic.BlankDisplay();
    ASSERT_TRUE(RunUntil([&] { return paints.regions.size() == 2; }));
    mimic.BlankDisplay();
    Settle();
    EXPECT_EQ(paints.regions.size(), 2);
    EXPECT_EQ(LcdMismatches(Shot()), 0);
}

// Position 17 follows position 1, segment 0 (the editing bar): its change alone is drawn.
TEST_F(Q910LcdTest, TheEditingBarAloneIsAChange)
{
    mimic.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mimic));
    Settle();
    PaintLog paints(mimic);
    mimic.DecodeDisplay(QStringLiteral("00") + QString(15, u'0') + QStringLiteral("10"));
    ASSERT_TRUE(RunUntil([&] { return paints.regions.size() == 1; }));
    EXPECT_EQ(mimic.LCD.SegmentState[17 * 4 + 3], 1);
}

} // namespace
