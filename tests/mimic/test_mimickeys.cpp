// The main window's key helper: key messages, hold timer, beep and cursor.
#include "mimickeys.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

Qt::CursorShape Cursor()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

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

TEST(KeyMessageDataTest, ShortAndLongPressesAroundTwoSecondsSmallKeySendsNothing)
{
    EXPECT_EQ(TMimicKeys::KeyMessageData(1, 0), QStringLiteral("8002"));
    EXPECT_EQ(TMimicKeys::KeyMessageData(2, 1999), QStringLiteral("8003"));
    EXPECT_EQ(TMimicKeys::KeyMessageData(2, 2000), QStringLiteral("8083"));
    EXPECT_EQ(TMimicKeys::KeyMessageData(5, 60000), QStringLiteral("8086"));
    for (int index : {0, 6, -1})
        EXPECT_TRUE(TMimicKeys::KeyMessageData(index, 100).isEmpty()) << index;
    EXPECT_TRUE(TMimicKeys::KeyMessageData(0, 5000).isEmpty());
}

TEST_F(MimicKeysTest, PressSendsOneMessageAndPassesTheResultOn)
{
    EXPECT_TRUE(keys.ButtonPress(2, 150));
    accept = false;
    EXPECT_FALSE(keys.ButtonPress(3, 2500));
    EXPECT_FALSE(keys.ButtonPress(0, 150));
    EXPECT_EQ(sent, (QStringList{QStringLiteral("8003"), QStringLiteral("8084")}));
}

TEST_F(MimicKeysTest, HoldingBeepsEachPeriodWithTheDragCursorUntilRelease)
{
    EXPECT_EQ(keys.tmrButton().interval(), 2000);
    EXPECT_FALSE(keys.tmrButton().isActive());
    keys.ButtonDown(4);
    EXPECT_TRUE(keys.tmrButton().isActive());
    keys.tmrButtonTimer();
    keys.tmrButtonTimer();
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(Cursor(), Qt::DragMoveCursor);
    keys.ButtonUp(4);
    EXPECT_FALSE(keys.tmrButton().isActive());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MimicKeysTest, ReleaseWithoutHoldLeavesOtherCursorsAlone)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); // someone's busy cursor
    keys.ButtonDown(1);
    keys.ButtonUp(1);
    EXPECT_EQ(Cursor(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(beeps, 0);
}

} // namespace
