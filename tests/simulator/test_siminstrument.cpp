#include "instrumentfixture.h"

#include "tools.h"

#include <QJsonDocument>

#include <functional>
#include <set>

namespace {

constexpr uint32_t kOverRange = 0x0400;
constexpr uint32_t kUnderRange = 0x0800;
constexpr uint32_t kIllegalValue = 0x0200;
constexpr uint32_t kAccessDenied = 0x1000;
constexpr uint32_t kNotImplemented = 0x2000;
constexpr uint32_t kTimedOut = 0x0010;

QString Read(int reg)
{
    return QStringLiteral("2011") + tools::HexText(reg, 4) + u':';
}

QString Write(int reg, const QString& data)
{
    return QStringLiteral("2012") + tools::HexText(reg, 4) + u':' + data;
}

} // namespace

TEST_F(InstrumentTest, IdentityAnswersWhatTheViewerChecks)
{
    EXPECT_EQ(Data("20110001:").at(1), u'2');
    EXPECT_EQ(Data("20110003:").mid(5, 4), "Q910");
    EXPECT_FALSE(Data("20110004:").isEmpty());
    EXPECT_EQ(sim->Respond("20110005:"), "A0110005:058CF349");
    EXPECT_EQ(sim->Respond("21110005:"), "A1110005:058CF349") << "the reply keeps the address";
    EXPECT_TRUE(sim->Respond("not a message").isEmpty());
}

TEST_F(InstrumentTest, ErrorRepliesCarryTheErrorBits)
{
    const Tcommsobj unknown = Ask("20110099:");
    EXPECT_TRUE(unknown.ErrorBit && unknown.ReplyBit);
    EXPECT_EQ(unknown.Value, kNotImplemented);
    EXPECT_EQ(unknown.ErrorText(), " Feature Not implemented ");
    EXPECT_EQ(sim->Respond("20110019:"), "E0110019:1000");
    EXPECT_EQ(Error("20120005:1"), 0x0100u) << "identity is read only";
}

// Walks the menu tree as the viewer reads it and checks what a technician must meet in it.
TEST_F(InstrumentTest, MenuTreeCoversEveryItemKind)
{
    OpenFull();
    std::set<int> types;
    std::set<QChar> readLevels, writeLevels, decimals;
    int menus = 0, items = 0, bitFields = 0;
    bool negativeLimit = false, stringLimit = false;
    std::function<void(int)> walk = [&](int reg) {
        const QString hex = tools::HexText(reg, 4);
        const int type = static_cast<int>(Ask("2001" + hex + ":").Value);
        types.insert(type);
        ASSERT_FALSE(Data("2009" + hex + ":").isEmpty());
        if (type == 8) {
            ++menus;
            const int last = static_cast<int>(Ask("2003" + hex + ":").Value);
            for (int i = static_cast<int>(Ask("2002" + hex + ":").Value); i <= last; ++i)
                walk(static_cast<int>(Ask("200D" + hex + ":" + tools::HexText(i, 2)).Value));
            return;
        }
        ++items;
        if (type == 11 || type == 15)
            return;
        const QString access = Data("200F" + hex + ":");
        readLevels.insert(access.at(0));
        writeLevels.insert(access.at(1));
        const QString shown = Data("2005" + hex + ":");
        if (type >= 1 && type <= 5) {
            decimals.insert(QChar(u'0' + tools::DecimalPlaces(shown)));
            negativeLimit |= static_cast<int32_t>(Ask("2002" + hex + ":").Value) < 0;
        }
        stringLimit |= type == 6 && Ask("2003" + hex + ":").Value > 0;
        bitFields += type == 12 && Ask("2003" + hex + ":").Value == 2;
    };
    walk(0x0011);
    EXPECT_GE(menus, 7);
    EXPECT_GE(items, 40);
    EXPECT_EQ(types, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 14, 15}));
    EXPECT_EQ(readLevels, (std::set<QChar>{u'S', u'F', u'f'}));
    EXPECT_EQ(writeLevels, (std::set<QChar>{u'S', u'F', u'f'}));
    EXPECT_EQ(decimals, (std::set<QChar>{u'0', u'1', u'2', u'3'}));
    EXPECT_TRUE(negativeLimit);
    EXPECT_TRUE(stringLimit);
    EXPECT_EQ(bitFields, 1) << "one bit field of three fields";
    EXPECT_EQ(Error("200D0011:07"), 0x0040u) << "an entry past the end";
}

TEST_F(InstrumentTest, ValuesNeedTheirAccessLevel)
{
    EXPECT_EQ(Error(Read(0x0211)), kAccessDenied) << "nothing is open at start";
    OpenSafe();
    EXPECT_EQ(Data(Read(0x0211)), "00000002");
    EXPECT_EQ(Data("20050211:"), "0.2");
    EXPECT_EQ(Error(Read(0x0205)), kAccessDenied) << "a Full item in a Safe session";
    EXPECT_EQ(Error(Write(0x0202, "1000")), kAccessDenied) << "write level F";
    OpenFull();
    EXPECT_EQ(Data("20050205:"), "6-WIRE");
    EXPECT_EQ(Error(Write(0x0223, "2")), kAccessDenied) << "the address is set on the front panel";
    EXPECT_EQ(Error("20100241:"), kAccessDenied) << "zero calibration from the menu is local";
}

TEST_F(InstrumentTest, WritesAreCheckedAgainstTheLimits)
{
    OpenFull();
    EXPECT_EQ(Error(Write(0x0202, "F4240")), kOverRange) << "capacity 1000000";
    EXPECT_EQ(Error(Write(0x0202, "0")), kUnderRange);
    EXPECT_EQ(Error(Write(0x0233, "FFF0BDC0")), kUnderRange) << "-1000000";
    EXPECT_EQ(Error(Write(0x0233, "FFFFFFFB")), 0u) << "-5 is within the negative limit";
    EXPECT_EQ(Data("20050233:"), "-0.5 kg");
    EXPECT_EQ(Error(Write(0x0204, "0005")), kIllegalValue) << "no sixth unit";
    EXPECT_EQ(Error(Write(0x0211, "1G")), kIllegalValue);
    EXPECT_EQ(Error(Write(0x0225, "A ticket header too long")), kOverRange);
    EXPECT_EQ(Error(Write(0x0225, "SHOP 2")), 0u);
    EXPECT_EQ(Data(Read(0x0225)), "SHOP 2");
    EXPECT_EQ(Error(Write(0x0244, "2611")), 0u);
    EXPECT_EQ(Data("20050244:"), "9.745");
    EXPECT_EQ(Error(Write(0x0211, "")), kIllegalValue);
}

TEST_F(InstrumentTest, BitFieldPacksItsFields)
{
    OpenSafe();
    OpenFull();
    EXPECT_EQ(Data("20050217:"), "ZGP");
    EXPECT_EQ(Data("200D0217:01"), "-TG");
    // Choices 1, 2 and 4 of fields 1, 2 and 3 bits wide.
    EXPECT_EQ(Error(Write(0x0217, "25")), 0u);
    EXPECT_EQ(Data("20050217:"), "ZGA");
    EXPECT_EQ(Error(Write(0x0217, "7")), kIllegalValue) << "the second field has three choices";
    EXPECT_EQ(Error(Write(0x0217, "40")), kIllegalValue) << "bits past the last field";
}

TEST_F(InstrumentTest, PasscodesOpenAndCloseTheLevels)
{
    EXPECT_EQ(Error("200D0011:00"), 0u) << "the tree's shape is always readable";
    EXPECT_EQ(Error(Read(0x0019)), kAccessDenied);
    EXPECT_EQ(Error(Read(0x001A)), kAccessDenied);
    EXPECT_EQ(Error(Read(0x00D0)), kAccessDenied);
    EXPECT_EQ(Error(Read(0x00D1)), kAccessDenied);
    EXPECT_EQ(Error(Write(0x0019, "1234")), kAccessDenied) << "a wrong passcode";
    OpenFull();
    EXPECT_EQ(Error(Read(0x0019)), 0u);
    EXPECT_EQ(Error(Read(0x001A)), 0u) << "Full includes Safe";
    EXPECT_EQ(Data(Read(0x00D0)), "8AE");
    EXPECT_EQ(Data(Read(0x00D1)), "457");
    // The viewer locks by writing each stored passcode with its low byte inverted.
    Error(Write(0x0019, tools::HexText(0x8AE ^ 0xFF, 4)));
    EXPECT_EQ(Error(Read(0x0019)), kAccessDenied);
    EXPECT_EQ(Error(Read(0x00D0)), kAccessDenied);
    OpenSafe();
    EXPECT_EQ(Error(Read(0x001A)), 0u);
    EXPECT_EQ(Error(Read(0x0019)), kAccessDenied);
}

TEST_F(InstrumentTest, ChangedPasscodeTakesEffect)
{
    OpenFull();
    ASSERT_EQ(Error(Write(0x0254, "7")), 0u);
    Error("20120019:0");
    EXPECT_EQ(Error("2012001A:457"), kAccessDenied);
    EXPECT_EQ(Error("2012001A:7"), 0u);
}

TEST_F(InstrumentTest, SessionTimesOutWithoutKeepAlives)
{
    OpenSafe();
    for (int i = 0; i < 4; ++i) {
        Wait(5000);
        EXPECT_EQ(Error("201200E2:FF"), 0u);
    }
    EXPECT_EQ(Error(Read(0x0211)), 0u) << "twenty seconds of keep-alives";
    Wait(10001);
    const Tcommsobj reply = Ask(Read(0x0211));
    EXPECT_TRUE(reply.HasError(kAccessDenied));
    EXPECT_EQ(reply.ErrorText(), " Session Timed Out ");
    EXPECT_EQ(Error("201200E2:FF"), kTimedOut);
    EXPECT_EQ(Error(Read(0x001A)), kAccessDenied | kTimedOut);
    OpenSafe();
    EXPECT_EQ(Error(Read(0x0211)), 0u) << "a new passcode starts a new session";
}

TEST_F(InstrumentTest, SessionEndAndStoreLock)
{
    int stores = 0;
    QJsonObject stored;
    sim->onStore = [&](const QJsonObject& state) {
        ++stores;
        stored = state;
    };
    OpenFull();
    EXPECT_EQ(Error("201200E2:01"), 0u);
    EXPECT_EQ(Error(Read(0x0019)), kAccessDenied) << "session end locks";
    EXPECT_EQ(Error("201200E2:7"), kIllegalValue);
    OpenFull();
    Error(Write(0x0225, "STORED"));
    EXPECT_EQ(Error("20100010:"), 0u) << "store works locked or not";
    EXPECT_EQ(stores, 1);
    EXPECT_EQ(Error(Read(0x0019)), kAccessDenied) << "a store asks for the passcodes again";
    EXPECT_TRUE(QJsonDocument(stored).toJson().contains("STORED"));
    EXPECT_EQ(Error("20100010:"), 0u);
    EXPECT_EQ(stores, 2);
}

TEST_F(InstrumentTest, StateSavedAndLoadedKeepsSettingsAndCalibration)
{
    OpenFull();
    Error(Write(0x0201, "2"));
    Error(Write(0x0146, "41810D0A"));
    ASSERT_EQ(Data("20100102:1388"), "00");
    const QJsonObject state = sim->SaveState();
    settings.address = 9;
    Start();
    sim->LoadState(state);
    EXPECT_EQ(sim->Menu().Number(0x0201), 2);
    EXPECT_EQ(Data(Read(0x0111)), "00001388");
    EXPECT_EQ(Data(Read(0x0146)), "41810D0A00");
    EXPECT_EQ(sim->Address(), 9) << "the started address wins over the stored one";
}

TEST_F(InstrumentTest, LoggingSetupAndReferenceWeight)
{
    EXPECT_EQ(Error(Write(0x0042, "1")), 0u);
    EXPECT_EQ(Error(Write(0x0043, "6")), 0u);
    EXPECT_EQ(Error(Write(0x0044, "2")), 0u);
    EXPECT_EQ(Data(Read(0x0043)), "6");
    EXPECT_EQ(Error(Write(0x0044, "1FF")), kIllegalValue);
    EXPECT_EQ(Data(Read(0x002F)), "00001388") << "the capacity, 500.0 kg";
    EXPECT_EQ(Data("2005002F:"), "500.0 kg");
    EXPECT_EQ(Data("20110025:"), Data("20050025:"));
}
