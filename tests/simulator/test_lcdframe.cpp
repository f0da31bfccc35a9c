#include "lcdframe.h"
#include "simdisplay.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

TEST(LcdFrame, DigitStrokesSitInTheirPositions)
{
    TLcdFrame frame;
    frame.SetDigit(0, TLcdFrame::GlyphStrokes(u'8'), true);
    // Rightmost digit: strokes a..d at position 5, e, f, g and the point at position 6.
    EXPECT_EQ(frame.RegisterData(), "00"
                                    "0000000000"
                                    "FF"
                                    "00000");
    EXPECT_EQ(frame.RegisterData().size(), 19);
    TLcdFrame left;
    left.SetDigit(5, TLcdFrame::GlyphStrokes(u'7'), false);
    EXPECT_EQ(left.RegisterData(), "0007" + QString(15, u'0'));
    EXPECT_TRUE(left.Segment(15, 0) && left.Segment(15, 1) && left.Segment(15, 2));
    EXPECT_FALSE(left.Segment(16, 0));
}

TEST(LcdFrame, RegisterDataCarriesPositionsSixteenToZero)
{
    TLcdFrame frame;
    frame.SetDigit(0, TLcdFrame::GlyphStrokes(u'8'), true);
    frame.SetAnnunciator(TLcdFrame::Kilograms, true);
    frame.SetAnnunciator(TLcdFrame::Output2, true);
    const QString data = frame.RegisterData();
    EXPECT_EQ(data.mid(2 + 16 - 6, 1), "F") << "position 6: e, f, g and the point";
    EXPECT_EQ(data.mid(2 + 16 - 5, 1), "F") << "position 5: a, b, c, d";
    EXPECT_EQ(data.mid(2 + 16 - 2, 1), "8") << "output 2 is segment 3 of position 2";
    EXPECT_EQ(data.right(1), "1") << "kg is segment 0 of position 0";
    EXPECT_EQ(TLcdFrame::FromRegisterData(data), frame);
}

TEST(LcdFrame, DecodesAsTheViewerDoes)
{
    const TLcdFrame point = TLcdFrame::FromRegisterData("008" + QString(16, u'0'));
    EXPECT_TRUE(point.Segment(16, 3)) << "the point of the leftmost digit";
    EXPECT_FALSE(point.Segment(15, 3));
    const TLcdFrame short18 = TLcdFrame::FromRegisterData("00" + QString(16, u'F'));
    EXPECT_TRUE(short18.Segment(1, 3));
    EXPECT_FALSE(short18.Segment(0, 0)) << "a missing 19th character is position 0 unlit";
    EXPECT_EQ(TLcdFrame::FromRegisterData(QString(17, u'F')), TLcdFrame());
    EXPECT_FALSE(TLcdFrame::FromRegisterData("00X" + QString(16, u'F')).Segment(16, 0));
}

TEST(LcdFrame, TextIsRightAlignedWithPointsAndSign)
{
    TLcdFrame frame;
    frame.SetText("-12.3");
    EXPECT_EQ(frame.DigitsText(), "-12.3");
    EXPECT_TRUE(frame.Segment(8, 3)) << "the point lights to the right of the 2";
    EXPECT_EQ(frame.RegisterData().mid(2, 8), "00004006") << "the sign is stroke g alone";
    frame.SetText("1234567");
    EXPECT_EQ(frame.DigitsText(), "234567") << "six digits";
    for (const char* text : {"0.", "9876.5", "-UL-", "Error", "Print", "-CAL-", ""}) {
        frame.SetText(text);
        EXPECT_EQ(frame.DigitsText(), text);
    }
}

TEST(SimDisplay, WeightMessagesAndAnnunciators)
{
    TSimDisplay display;
    TSimDisplay::TState state;
    state.decimals = 2;
    state.units = 3;
    state.reading.shown = -505;
    state.reading.motion = true;
    TLcdFrame frame = display.Render(state, 0);
    EXPECT_EQ(frame.DigitsText(), "-5.05");
    EXPECT_TRUE(frame.AnnunciatorOn(TLcdFrame::Tonnes));
    EXPECT_TRUE(frame.AnnunciatorOn(TLcdFrame::Motion));
    EXPECT_TRUE(frame.AnnunciatorOn(TLcdFrame::Gross));
    state.reading.shown = 12345678;
    EXPECT_EQ(TSimDisplay::WeightDigits(state), "-OL-") << "more digits than the LCD has";
    EXPECT_EQ(display.Render(state, 0).DigitsText(), "-0L-") << "O and 0 look alike";
    display.Flash("Error", 1000);
    EXPECT_EQ(display.Render(state, 999).DigitsText(), "Error");
    EXPECT_EQ(display.Render(state, 1000).DigitsText(), "-0L-");
    state.calibrating = true;
    EXPECT_EQ(display.Render(state, 0).DigitsText(), "-CAL-");
}
