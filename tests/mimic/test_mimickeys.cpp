// The main window's key helper: key messages, hold timer, beep and cursor.
#include "mimickeys.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

class MimicKeysTest : public ::testing::Test
{
protected:
    QStringList sent;
    int beeps = 0;
    bool accept = true;
    TMimicKeys keys{[this](const QString& data) {
                        sent << data;
                        return accept;
                    },
                    [this] { ++beeps; }};
};

TEST(KeyMessageDataTest, ShortAndLongPressesAroundTwoSeconds)
{
    EXPECT_EQ(TMimicKeys::KeyMessageData(1, 0), QStringLiteral("8002"));
    EXPECT_EQ(TMimicKeys::KeyMessageData(2, 1999), QStringLiteral("8003"));
    EXPECT_EQ(TMimicKeys::KeyMessageData(2, 2000), QStringLiteral("8083"));
    EXPECT_EQ(TMimicKeys::KeyMessageData(5, 1999), QStringLiteral("8006"));
    EXPECT_EQ(TMimicKeys::KeyMessageData(5, 60000), QStringLiteral("8086"));
}

TEST(KeyMessageDataTest, SmallKeyAndUnknownKeysSendNothing)
{
    EXPECT_TRUE(TMimicKeys::KeyMessageData(0, 100).isEmpty());
    EXPECT_TRUE(TMimicKeys::KeyMessageData(0, 5000).isEmpty());
    EXPECT_TRUE(TMimicKeys::KeyMessageData(6, 100).isEmpty());
    EXPECT_TRUE(TMimicKeys::KeyMessageData(-1, 100).isEmpty());
}

TEST_F(MimicKeysTest, PressSendsOneMessageAndPassesTheResultOn)
{
    EXPECT_TRUE(keys.ButtonPress(2, 150));
    accept = false;
    EXPECT_FALSE(keys.ButtonPress(3, 2500));
    EXPECT_FALSE(keys.ButtonPress(0, 150));
    EXPECT_EQ(sent, (QStringList{QStringLiteral("8003"), QStringLiteral("8084")}));
}

TEST_F(MimicKeysTest, HoldTimerRunsFromDownToUp)
{
    EXPECT_EQ(keys.tmrButton().interval(), 2000);
    EXPECT_FALSE(keys.tmrButton().isActive());
    EXPECT_FALSE(keys.tmrButton().isSingleShot());
    keys.ButtonDown(1);
    EXPECT_TRUE(keys.tmrButton().isActive());
    keys.ButtonUp(1);
    EXPECT_FALSE(keys.tmrButton().isActive());
    EXPECT_EQ(beeps, 0);
}

TEST_F(MimicKeysTest, HoldingBeepsEachPeriodWithTheDragCursorUntilRelease)
{
    keys.ButtonDown(4);
    keys.tmrButtonTimer();
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(keys.DragCursorShown());
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::DragMoveCursor);
    keys.tmrButtonTimer();
    EXPECT_EQ(beeps, 2);
    keys.ButtonUp(4);
    EXPECT_FALSE(keys.DragCursorShown());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MimicKeysTest, ReleaseWithoutHoldLeavesTheCursorAlone)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor); // someone else's busy cursor
    keys.ButtonDown(1);
    keys.ButtonUp(1);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
}

} // namespace
