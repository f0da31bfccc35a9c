// Menus that answer the tree reader wrongly on purpose (--menu-faults), as seen on the wire.
#include "protocol.h"
#include "serialclient.h"
#include "simcommandline.h"
#include "simpty.h"
#include "tools.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

namespace {

using Faults = TSimMenuFaults;

struct TFaultCase
{
    Faults::Fault fault;
    const char* request;
    const char* faulty;
    const char* usual;
};

// Each fault next to what the same request gets from an instrument without it.
const TFaultCase kCases[] = {
    {Faults::SelfListed, "20030210:", "A0030210:00000007", "A0030210:00000006"},
    {Faults::SelfListed, "200D0210:00", "A00D0210:0210", "A00D0210:0211"},
    {Faults::SelfListed, "200D0210:01", "A00D0210:0211", "A00D0210:0212"},
    {Faults::SelfListed, "200D0210:07", "A00D0210:0217", "E00D0210:0040"},
    {Faults::ChildTwice, "20030220:", "A0030220:00000006", "A0030220:00000005"},
    {Faults::ChildTwice, "200D0220:01", "A00D0220:0221", "A00D0220:0222"},
    {Faults::ChildTwice, "200D0220:06", "A00D0220:0226", "E00D0220:0040"},
    {Faults::NoMaximum, "20030230:", "E0030230:0100", "A0030230:00000001"},
    {Faults::LastEntry, "200D0240:06", "E00D0240:0100", "A00D0240:0247"},
    {Faults::NoName, "20090252:", "E0090252:0100", "A0090252:B.LIGHT"},
    {Faults::NoValue, "20110204:", "E0110204:0100", "A0110204:00000001"},
};

const Faults::Fault kAll[] = {Faults::SelfListed, Faults::ChildTwice, Faults::NoMaximum,
                              Faults::LastEntry,  Faults::NoName,     Faults::NoValue};

// An instrument with the given faults and its Safe level open, on a clock that stands still.
std::unique_ptr<TSimInstrument> Instrument(const Faults& faults)
{
    TSimInstrument::TSettings settings;
    settings.menuFaults = faults;
    auto sim = std::make_unique<TSimInstrument>(settings, [] { return qint64(100000); });
    EXPECT_EQ(sim->Respond(QStringLiteral("2012001A:457")), "A012001A:457");
    return sim;
}

Faults Only(Faults::Fault fault)
{
    Faults faults;
    faults.Add(fault);
    return faults;
}

Faults AllBut(Faults::Fault left)
{
    Faults faults;
    for (Faults::Fault fault : kAll) {
        if (fault != left)
            faults.Add(fault);
    }
    return faults;
}

// Every request the tree reader can make of the instrument's menus, with the usual reply.
std::map<QString, QString> WalkTree(TSimInstrument& sim, int reg = protocol::reg::MenuRoot)
{
    std::map<QString, QString> replies;
    const QString hex = tools::HexText(static_cast<uint32_t>(reg), 4);
    for (int command :
         {protocol::cmd::ReadType, protocol::cmd::ReadMinimum, protocol::cmd::ReadMaximum,
          protocol::cmd::ReadDisplayText, protocol::cmd::ReadName, protocol::cmd::ReadAccess,
          protocol::cmd::ReadValue}) {
        const QString request = QStringLiteral("20") + tools::HexText(command, 2) + hex + u':';
        replies[request] = sim.Respond(request);
    }
    const int type = sim.Menu().TypeOf(reg);
    if (type != protocol::item::Menu && type != protocol::item::Options &&
        type != protocol::item::BitField)
        return replies;
    // Two indexes past the end as well, where a shifted list ends.
    const int last = sim.Menu().Maximum(reg);
    for (int index = 0; index <= last + 2; ++index) {
        const QString request = QStringLiteral("200D") + hex + u':' + tools::HexText(index, 2);
        replies[request] = sim.Respond(request);
        if (type == protocol::item::Menu && index <= last) {
            const QString child = *sim.Menu().Entry(reg, index);
            replies.merge(WalkTree(sim, static_cast<int>(tools::HexToInt(child))));
        }
    }
    return replies;
}

} // namespace

TEST(SimMenuFaults, EachFaultChangesItsOwnAnswerAndNoOther)
{
    for (const TFaultCase& test : kCases) {
        SCOPED_TRACE(test.request);
        EXPECT_EQ(Instrument({})->Respond(test.request), test.usual);
        EXPECT_EQ(Instrument(Only(test.fault))->Respond(test.request), test.faulty);
        EXPECT_EQ(Instrument(AllBut(test.fault))->Respond(test.request), test.usual);
        Tcommsobj reply;
        ASSERT_TRUE(reply.Parse(QString::fromLatin1(test.faulty)));
        if (reply.ErrorBit) {
            EXPECT_EQ(reply.Value, protocol::err::IllegalOperation);
        }
    }
}

TEST(SimMenuFaults, AllFaultsTouchNothingElseInTheTree)
{
    Faults all;
    for (Faults::Fault fault : kAll)
        all.Add(fault);
    const auto usualSim = Instrument({});
    const auto faultySim = Instrument(all);
    const std::map<QString, QString> usual = WalkTree(*usualSim);
    std::set<QString> changed;
    for (const auto& [request, reply] : usual) {
        if (faultySim->Respond(request) != reply)
            changed.insert(request);
    }
    std::set<QString> expected = {
        "20030210:", "20030220:", "20030230:", "200D0240:06", "20090252:", "20110204:"};
    for (int index = 0; index <= 7; ++index)
        expected.insert("200D0210:" + tools::HexText(index, 2));
    for (int index = 1; index <= 6; ++index)
        expected.insert("200D0220:" + tools::HexText(index, 2));
    EXPECT_EQ(changed, expected);
    EXPECT_GT(usual.size(), 400u) << "the walk reached every item";
}

TEST(SimMenuFaults, ReadTakesKnownNamesAndNamesAnUnknownOne)
{
    Faults faults;
    QString error;
    ASSERT_TRUE(faults.Read(QStringLiteral("self, nomax"), &error));
    EXPECT_TRUE(faults.Has(Faults::SelfListed) && faults.Has(Faults::NoMaximum));
    EXPECT_FALSE(faults.Has(Faults::ChildTwice) || faults.Has(Faults::NoValue));

    EXPECT_FALSE(faults.Read(QStringLiteral("novalue,selfish"), &error));
    EXPECT_TRUE(error.contains("\"selfish\"")) << error.toStdString();
    EXPECT_FALSE(faults.Has(Faults::NoValue)) << "a list with an unknown name adds nothing";
    EXPECT_FALSE(faults.Read(QString(), &error)) << "an empty name is no fault";

    Faults every;
    ASSERT_TRUE(every.Read(Faults::Names().join(u','), &error));
    for (Faults::Fault fault : kAll)
        EXPECT_TRUE(every.Has(fault)) << fault;
    EXPECT_FALSE(Faults().Any());
}

TEST(SimMenuFaults, CommandLineOption)
{
    TSimCommandLine plain;
    ASSERT_EQ(plain.Parse({"q900sim"}), TSimCommandLine::Run);
    EXPECT_FALSE(plain.Options().instrument.menuFaults.Any()) << "no faults without the option";
    for (const QString& name : Faults::Names())
        EXPECT_TRUE(plain.HelpText().contains(name)) << name.toStdString();

    TSimCommandLine given;
    ASSERT_EQ(given.Parse({"q900sim", "--menu-faults", "twice,noname"}), TSimCommandLine::Run);
    const Faults& faults = given.Options().instrument.menuFaults;
    EXPECT_TRUE(faults.Has(Faults::ChildTwice) && faults.Has(Faults::NoName));
    EXPECT_FALSE(faults.Has(Faults::SelfListed) || faults.Has(Faults::LastEntry));

    TSimCommandLine wrong;
    ASSERT_EQ(wrong.Parse({"q900sim", "--menu-faults", "self,nomaxx"}), TSimCommandLine::Failed);
    EXPECT_TRUE(wrong.Error().contains("--menu-faults")) << wrong.Error().toStdString();
    EXPECT_TRUE(wrong.Error().contains("\"nomaxx\"")) << wrong.Error().toStdString();
}

TEST(SimMenuFaults, ReachEveryInstrumentOverThePseudoTerminal)
{
    TSimOptions options;
    options.instrument.menuFaults = Only(Faults::NoMaximum);
    options.addresses = {1, 5};
    options.line.ring = true;
    TSimPty sim(options);
    QString path, error;
    ASSERT_TRUE(sim.Open(&path, &error)) << error.toStdString();
    SerialClient client;
    ASSERT_TRUE(client.Open(path)) << client.port.errorString().toStdString();
    EXPECT_EQ(client.Exchange("\x12"
                              "25030230:\r\n\x14",
                              "\x14"),
              "\x12"
              "25030230:\r\nE5030230:0100\r\n\x14");
    EXPECT_EQ(client.Exchange("\x12"
                              "21030220:\r\n\x14",
                              "\x14"),
              "\x12"
              "21030220:\r\nA1030220:00000005\r\n\x14");
}
