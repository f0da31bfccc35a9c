// The Q910 panel control as the main window uses it: live LCD, keys, picture handling.
#include "lcdtext.h"
#include "mimictestdata.h"

#include "mimickeys.h"
#include "q910lcd.h"
#include "q910panel.h"

#include <QCoreApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct KeyEvent
{
    char kind; // 'd'own, 'u'p, 'p'ress
    int index;
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

class Q910LcdTest : public ::testing::Test
{
protected:
    Q910LcdTest() : mimic(dir.Picture())
    {
        mimic.LCD.Directory = dir.Path();
        mimic.resize(1000, 491);
    }

    void RecordKeys()
    {
        mimic.SetKeyHandlers(TKeyHandlers{
            [this](TZelLCDButtons&, int i) {
                events.push_back({'d', i});
            },
            [this](TZelLCDButtons&, int i) {
                events.push_back({'u', i});
            },
            [this](TZelLCDButtons&, int i, int) {
                events.push_back({'p', i});
            },
        });
    }

    QPoint KeyCentre(int index) const
    {
        return buttonregion::ToPixels(q910panel::KeyRegions()[size_t(index)], mimic.width(),
                                      mimic.height())
            .center();
    }

    QImage Shot() { return mimic.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Every LCD pixel of the shot is On where the scaled map's segment is lit, else Off.
    int LcdMismatches(const QImage& shot) const
    {
        const QRect r = mimic.LcdRect();
        const TZelBitmap& map = mimic.LCD.ScaledMap();
        int wrong = 0;
        for (int y = 0; y < r.height(); ++y) {
            for (int x = 0; x < r.width(); ++x) {
                const int n = map.At(x, y);
                const bool lit = n != TZelBitmap::kBackground &&
                                 mimic.LCD.SegmentState[size_t((n % 18) * 4 + n / 18)];
                const QRgb want =
                    TZelLCD::ToRgb(lit ? q910panel::kOnColour : q910panel::kOffColour);
                wrong += (shot.pixel(r.x() + x, r.y() + y) & RGB_MASK) != (want & RGB_MASK);
            }
        }
        return wrong;
    }

    ProgramDir dir;
    TQ910LCD mimic;
    std::vector<KeyEvent> events;
};

TEST_F(Q910LcdTest, LcdWindowShowsExactlyTheDecodedSegments)
{
    mimic.DecodeDisplay(DisplayDataFor(QStringLiteral("-12.345"), QStringLiteral("00141")));
    const QImage shot = Shot();
    if (const QByteArray out = qgetenv("MIMIC_SCREENSHOT_DIR"); !out.isEmpty())
        shot.save(QDir(QString::fromLocal8Bit(out)).filePath(QStringLiteral("mimic.png")));
    ASSERT_EQ(mimic.LCD.ScaledMap().Width(), mimic.LcdRect().width());
    EXPECT_EQ(LcdMismatches(shot), 0);
    EXPECT_TRUE(mimic.LCD.SegmentState[16 * 4 + 2]); // minus: stroke g of the leftmost digit
    EXPECT_TRUE(mimic.LCD.SegmentState[12 * 4 + 3]); // the point after "12"
}

TEST_F(Q910LcdTest, EditingBarPiecesLightWithPositionOneSegmentZero)
{
    mimic.DecodeDisplay(QStringLiteral("00") + QString(16, u'0') + QStringLiteral("1"));
    EXPECT_EQ(mimic.LCD.SegmentState[0], 1); // position 0, segment 0 from the last character
    mimic.DecodeDisplay(QStringLiteral("00") + QString(15, u'0') + QStringLiteral("10"));
    for (int segment = 0; segment < 4; ++segment)
        EXPECT_EQ(mimic.LCD.SegmentState[size_t(17 * 4 + segment)], 1) << segment;
    EXPECT_EQ(LcdMismatches(Shot()), 0);
    mimic.DecodeDisplay(QStringLiteral("00") + QString(17, u'0'));
    EXPECT_EQ(mimic.LCD.SegmentState[17 * 4 + 3], 0);
}

TEST_F(Q910LcdTest, BlankAndShortDataHandling)
{
    const QString data = DisplayDataFor(QStringLiteral("88888.8"));
    mimic.DecodeDisplay(data);
    const TSegmentStates shown = mimic.LCD.SegmentState;
    mimic.DecodeDisplay(data.left(17));
    EXPECT_EQ(mimic.LCD.SegmentState, shown);
    mimic.BlankDisplay();
    EXPECT_EQ(mimic.LCD.SegmentState, TSegmentStates{});
    const QImage shot = Shot();
    const QRect r = mimic.LcdRect();
    EXPECT_EQ(shot.pixel(r.center()) & RGB_MASK, TZelLCD::ToRgb(q910panel::kOffColour) & RGB_MASK);
    EXPECT_EQ(LcdMismatches(shot), 0);
}

TEST_F(Q910LcdTest, ClickOnAKeyRaisesDownUpPressInOrder)
{
    RecordKeys();
    QTest::mousePress(&mimic, Qt::LeftButton, {}, KeyCentre(2));
    EXPECT_EQ(mimic.Buttons.PressedIndex(), 2);
    QTest::mouseRelease(&mimic, Qt::LeftButton, {}, KeyCentre(2));
    EXPECT_EQ(events, (std::vector<KeyEvent>{{'d', 2}, {'u', 2}, {'p', 2}}));
    EXPECT_EQ(mimic.Buttons.PressedIndex(), -1);
}

TEST_F(Q910LcdTest, ClickBesideTheKeysDoesNothing)
{
    RecordKeys();
    QTest::mouseClick(&mimic, Qt::LeftButton, {}, QPoint(500, 50));
    QTest::mouseClick(&mimic, Qt::RightButton, {}, mimic.LcdRect().center());
    EXPECT_TRUE(events.empty());
}

TEST_F(Q910LcdTest, ReleaseAwayFromTheKeyStillSendsIt)
{
    RecordKeys();
    QTest::mousePress(&mimic, Qt::LeftButton, {}, KeyCentre(4));
    QTest::mouseRelease(&mimic, Qt::LeftButton, {}, QPoint(990, 10));
    EXPECT_EQ(events, (std::vector<KeyEvent>{{'d', 4}, {'u', 4}, {'p', 4}}));
}

TEST_F(Q910LcdTest, NewPressReleasesTheKeyStillHeld)
{
    RecordKeys();
    mimic.Buttons.PressButton(1);
    mimic.Buttons.PressButton(3);
    EXPECT_EQ(events, (std::vector<KeyEvent>{{'d', 1}, {'u', 1}, {'p', 1}, {'d', 3}}));
    EXPECT_EQ(mimic.Buttons.PressedIndex(), 3);
}

TEST_F(Q910LcdTest, AKeyPressedDuringItsOwnSendIsNotSentTwice)
{
    int presses = 0;
    mimic.SetKeyHandlers(TKeyHandlers{nullptr, nullptr, [&](TZelLCDButtons& b, int, int) {
                                          // The wait for the reply pumps events: a new
                                          // press arrives meanwhile.
                                          if (++presses == 1)
                                              b.PressButton(5);
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
    const QRect key = mimic.Buttons.Regions[3].Left
                          ? buttonregion::ToPixels(mimic.Buttons.Regions[3], 1000, 491)
                          : QRect();
    QTest::mousePress(&mimic, Qt::LeftButton, {}, centre);
    const QImage pressed = Shot();
    QTest::mouseRelease(&mimic, Qt::LeftButton, {}, centre);
    const QImage after = Shot();

    const QRgb was = before.pixel(centre);
    const QRgb now = pressed.pixel(centre);
    EXPECT_EQ(qRed(now), qRed(was) & 0xC0);
    EXPECT_EQ(qGreen(now), qGreen(was) & 0xC0);
    EXPECT_EQ(qBlue(now), qBlue(was) & 0xC0);
    // The overlay's corners are white: the corners of the region are left alone.
    EXPECT_EQ(pressed.pixel(key.topLeft()), before.pixel(key.topLeft()));
    EXPECT_EQ(after, before);
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
    QTest::mouseClick(&mimic, Qt::LeftButton, {}, KeyCentre(2));
    QTest::mouseClick(&mimic, Qt::LeftButton, {}, KeyCentre(0));
    QTest::mouseClick(&mimic, Qt::LeftButton, {}, KeyCentre(5));
    EXPECT_EQ(sent, (QStringList{QStringLiteral("8003"), QStringLiteral("8006")}));
    EXPECT_FALSE(keys.tmrButton().isActive());
}

TEST_F(Q910LcdTest, VanishedPictureIsReportedOncePerFailure)
{
    QStringList errors;
    mimic.SetErrorHandler([&](const QString& message) { errors << message; });
    Shot();
    QFile::remove(dir.Picture());
    Shot();
    Shot();
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("missing")));
    QFile::copy(QStringLiteral(MIMIC_TEST_DATA "/Q910.jpg"), dir.Picture());
    Shot();
    QFile::remove(dir.Picture());
    Shot();
    QCoreApplication::processEvents();
    EXPECT_EQ(errors.size(), 2);
}

TEST_F(Q910LcdTest, ReplacedPictureShowsOnTheNextPaint)
{
    Shot();
    QImage red(100, 49, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.Picture(), "JPEG", 100));
    const QImage shot = Shot();
    EXPECT_GT(qRed(shot.pixel(5, 5)), 240);
    EXPECT_LT(qGreen(shot.pixel(5, 5)), 20);
}

TEST_F(Q910LcdTest, UnreadablePictureIsReportedAndLastGoodOneKept)
{
    QStringList errors;
    mimic.SetErrorHandler([&](const QString& message) { errors << message; });
    const QImage good = Shot();
    QFile file(dir.Picture());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();
    const QImage shot = Shot();
    QCoreApplication::processEvents();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(shot.pixel(5, 5), good.pixel(5, 5));
}

TEST_F(Q910LcdTest, MissingSegmentPicturesAreReportedAndTheLcdLeftBlank)
{
    QStringList errors;
    mimic.SetErrorHandler([&](const QString& message) { errors << message; });
    QFile::remove(dir.File(QStringLiteral("segs/g.bmp")));
    mimic.DecodeDisplay(DisplayDataFor(QStringLiteral("888888")));
    const QImage shot = Shot();
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("g.bmp")));
    const QRect r = mimic.LcdRect();
    EXPECT_EQ(shot.pixel(r.center()) & RGB_MASK, TZelLCD::ToRgb(q910panel::kOffColour) & RGB_MASK);
    EXPECT_FALSE(QFile::exists(dir.Map()));
}

} // namespace
