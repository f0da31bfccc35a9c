#include "device.h"
#include "tools.h"

#include <QMap>

#include <gtest/gtest.h>

namespace {

// Answers requests from a table, as an instrument at address 1 would; unknown requests get
// no reply. Keeps every request it saw, as text.
class ScriptedInstrument : public IRequester
{
public:
    QMap<QString, QString> replies; // request without address byte -> reply data, "!" = error
    QStringList seen;

    void Item(const QString& reg, const QString& type, const QString& name,
              const QString& access = "SS", const QString& value = "0",
              const QString& display = "0")
    {
        replies["01" + reg] = type;
        replies["09" + reg] = name;
        replies["0F" + reg] = access;
        replies["11" + reg] = value;
        replies["05" + reg] = display;
    }
    void Menu(const QString& reg, const QString& name, const QStringList& children)
    {
        replies["01" + reg] = "08";
        replies["09" + reg] = name;
        replies["02" + reg] = "0";
        replies["03" + reg] = QString::number(children.size() - 1, 16);
        for (int i = 0; i < children.size(); ++i)
            replies["0D" + reg + ":" + QString::number(i, 16).toUpper().rightJustified(2, '0')] =
                children[i];
    }
    QString Answer(const QString& request)
    {
        seen << request;
        const QString body = request.mid(2, 6);
        const QString data = request.mid(9);
        QString key = body;
        if (!replies.contains(key))
            key = body + ":" + data;
        if (!replies.contains(key))
            return {};
        const QString reply = replies[key];
        if (reply.startsWith('!'))
            return "E1" + body + ":" + reply.mid(1);
        return "A1" + body + ":" + reply;
    }
    TReply SendCommand(const TRequest& request) override
    {
        const QString text = "21" + tools::HexText(uint32_t(request.command), 2) +
                             tools::HexText(uint32_t(request.reg), 4) + ":" + request.data;
        TReply reply;
        reply.outcome = TOutcome::NoReply;
        if (reply.record.Parse(Answer(text)))
            reply.outcome = reply.record.ErrorBit ? TOutcome::ErrorReply : TOutcome::Accepted;
        return reply;
    }
    int Count(const QString& prefix) const
    {
        int n = 0;
        for (const QString& r : seen)
            n += r.mid(2).startsWith(prefix);
        return n;
    }
};

struct DeviceTest : ::testing::Test
{
    ScriptedInstrument sim;
    TDevice device{sim};
};

const TMenuNode* Child(const TMenuNode& node, int i)
{
    return node.Children().at(static_cast<size_t>(i)).get();
}

} // namespace

TEST_F(DeviceTest, ReplyEvaluation)
{
    sim.replies["110040"] = "  FFFFFFFE  ";
    device.SetCurrentRegister(0x40);
    ASSERT_TRUE(device.ReadValue());
    EXPECT_EQ(device.ReplyNumber(), -2);
    EXPECT_EQ(device.ReplyText(), "FFFFFFFE") << "trimmed";
    EXPECT_EQ(sim.seen.last(), "21110040:");

    sim.replies["110040"] = "!1000";
    EXPECT_FALSE(device.ReadValue());
    EXPECT_TRUE(device.ReplyFailed());
    sim.replies.remove("110040");
    EXPECT_FALSE(device.ReadValue()) << "no reply at all";

    sim.replies["110041"] = QString(400, 'x');
    device.SetCurrentRegister(0x41);
    ASSERT_TRUE(device.ReadValue());
    EXPECT_EQ(device.ReplyText().size(), 300);
}

TEST_F(DeviceTest, AttributesAreCachedPerRegister)
{
    sim.replies["010200"] = "07";
    sim.replies["020200"] = "0";
    sim.replies["030200"] = "2";
    sim.replies["0D0200:00"] = "Off";
    sim.replies["0D0200:01"] = "On";
    sim.replies["0D0200:02"] = "Auto";
    device.SetCurrentRegister(0x200);
    const auto first = device.GetOptionList();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, (QStringList{"Off", "On", "Auto"}));
    const int requests = static_cast<int>(sim.seen.size());
    EXPECT_EQ(*device.GetOptionList(), *first);
    EXPECT_TRUE(device.ReadType());
    EXPECT_EQ(device.ReplyText(), "07");
    EXPECT_TRUE(device.ReadMaximum());
    EXPECT_EQ(device.ReplyNumber(), 2);
    EXPECT_EQ(sim.seen.size(), requests) << "second reads come from the cache";

    sim.replies["010201"] = "03";
    device.SetCurrentRegister(0x201);
    EXPECT_FALSE(device.GetOptionList().has_value()) << "a number has no options";
}

TEST_F(DeviceTest, ListEntryIndexUsesAtLeastTwoDigits)
{
    device.SetCurrentRegister(0x300);
    device.ReadListEntry(5);
    device.ReadListEntry(0x123);
    EXPECT_EQ(sim.seen[0], "210D0300:05");
    EXPECT_EQ(sim.seen[1], "210D0300:123");
}

TEST_F(DeviceTest, MenuTreeSkipsRepeatsAndUnreadableChildren)
{
    sim.Menu("0011", "ROOT", {"0011", "0100", "0100", "0101", "0102", "0103"});
    sim.Menu("0100", "SCALE", {"0110"});
    sim.Item("0101", "03", "CAP", "SF", "2710", "100.00");
    sim.replies["010102"] = "03"; // type, but the name is refused: left out
    sim.replies["090102"] = "!0100";
    sim.Item("0103", "0B", "CALZERO");
    TMenuNode tree;
    device.BuildMenuTree(tree, 0x11, "SAFE SETUP");
    ASSERT_EQ(tree.Children().size(), 1u);
    const TMenuNode& root = *Child(tree, 0);
    EXPECT_EQ(root.Caption, "SAFE SETUP");
    EXPECT_EQ(root.Data->TypeCode, "08");
    ASSERT_EQ(root.Children().size(), 3u);
    EXPECT_EQ(Child(root, 0)->Caption, "SCALE");
    ASSERT_EQ(Child(root, 0)->Children().size(), 1u);
    EXPECT_TRUE(Child(*Child(root, 0), 0)->IsPlaceholder()) << "sub-menus are read on expansion";
    EXPECT_EQ(Child(root, 1)->Caption, "CAP      : 100.00");
    EXPECT_EQ(Child(root, 1)->Data->Access, 0x80 | 1 | (2 << 2));
    EXPECT_EQ(Child(root, 1)->Data->RawValue, "2710");
    EXPECT_EQ(Child(root, 2)->Caption, "CALZERO");
    EXPECT_EQ(Child(root, 2)->Data->HasValue, 0);
    EXPECT_EQ(sim.Count("11"), 1) << "only the number's value is read";
}

// A child the instrument does not answer for at all (a lost link) leaves the whole menu
// unread, so nothing that saves the tree takes it for complete.
TEST_F(DeviceTest, UnansweredChildLeavesTheMenuUnread)
{
    sim.Menu("0011", "ROOT", {"0101", "0102"});
    sim.Item("0101", "03", "CAP", "SF", "2710", "100.00");
    sim.Item("0102", "03", "HYS", "SS", "5", "0.05");
    sim.replies.remove("110102"); // its value never comes
    TMenuNode tree;
    device.BuildMenuTree(tree, 0x11, "FULL SETUP");
    const TMenuNode& root = *Child(tree, 0);
    ASSERT_EQ(root.Children().size(), 1u);
    EXPECT_TRUE(Child(root, 0)->IsPlaceholder());
}

TEST_F(DeviceTest, MenuReadFailuresGivePlaceholderOrNothing)
{
    TMenuNode a;
    sim.Menu("0011", "ROOT", {"0101", "0102"});
    sim.replies.remove("0D0011:01"); // highest entry unreadable
    sim.Item("0101", "03", "A");
    device.BuildMenuTree(a, 0x11, "FULL SETUP");
    ASSERT_EQ(Child(a, 0)->Children().size(), 1u);
    EXPECT_TRUE(Child(*Child(a, 0), 0)->IsPlaceholder());

    TMenuNode b;
    sim.Menu("0012", "ROOT", {"0101"});
    sim.replies["030012"] = "!2000";
    device.BuildMenuTree(b, 0x12, "FULL SETUP");
    EXPECT_TRUE(Child(*Child(b, 0), 0)->IsPlaceholder()) << "maximum unreadable";

    TMenuNode c;
    sim.Menu("0013", "ROOT", {"0101"});
    sim.replies.remove("020013");
    device.BuildMenuTree(c, 0x13, "FULL SETUP");
    EXPECT_TRUE(Child(c, 0)->Children().empty()) << "minimum unreadable: no children";

    TMenuNode d;
    sim.Menu("0014", "ROOT", {"0101"});
    sim.replies["020014"] = "5";
    device.BuildMenuTree(d, 0x14, "FULL SETUP");
    EXPECT_TRUE(Child(d, 0)->Children().empty()) << "maximum below minimum";
}

TEST_F(DeviceTest, SafeSessionNeverReadsFullItems)
{
    sim.Menu("0011", "ROOT", {"0101", "0102"});
    sim.Item("0101", "03", "SECRET", "FF", "7", "7");
    sim.Item("0102", "03", "LOCAL", "fS", "7", "7");
    TMenuNode tree;
    device.FullAccess = false;
    device.BuildMenuTree(tree, 0x11, "SAFE SETUP");
    const TMenuNode& root = *Child(tree, 0);
    ASSERT_EQ(root.Children().size(), 2u);
    EXPECT_EQ(Child(root, 0)->Data->Valid, 0);
    EXPECT_EQ(Child(root, 1)->Data->Valid, 0);
    EXPECT_EQ(sim.Count("110101") + sim.Count("110102"), 0);

    device.FullAccess = true;
    auto data = device.NewNodeData("SECRET", "0101", "03");
    EXPECT_EQ(data->Valid, 1);
    EXPECT_EQ(data->DisplayText, "7");
}

TEST_F(DeviceTest, CaptionsArePaddedAndCut)
{
    TNodeData d;
    d.Name = "CAP";
    d.DisplayText = "12";
    EXPECT_EQ(TDevice::NodeCaption(d), "CAP      : 12");
    d.Name = "CAPACITY1";
    EXPECT_EQ(TDevice::NodeCaption(d), "CAPACITY1 : 12");
    d.DisplayText = "a long display text here";
    EXPECT_EQ(TDevice::NodeCaption(d), "CAPACITY1 : a long displa ...");
}

TEST_F(DeviceTest, IdentityIsReadInOrder)
{
    sim.replies["110005"] = "4D2";
    sim.replies["110003"] = "Q900-910A";
    sim.replies["110004"] = "V1.23";
    sim.replies["110001"] = "12";
    device.ReadIdentity();
    EXPECT_EQ(sim.seen, (QStringList{"21110005:", "21110003:", "21110004:", "21110001:"}));
    EXPECT_EQ(device.SerialNumber, "1234");
    EXPECT_EQ(device.ModelVariant, "910A");
    EXPECT_EQ(device.SoftwareVersion, "V1.23");
    EXPECT_EQ(device.CommsVersion, "12");
    sim.replies.clear();
    device.ReadIdentity();
    EXPECT_EQ(device.SerialNumber, "") << "failed reads leave fields empty";

    // The first register refused ends the reading: the rest would only repeat it.
    sim.seen.clear();
    sim.replies["110005"] = "!0008";
    device.ReadIdentity();
    EXPECT_EQ(sim.seen, QStringList{"21110005:"});
}

// Another kind of instrument (model or software) has its own limits and option texts; the
// same kind keeps what was read, connection after connection.
TEST_F(DeviceTest, AttributeCacheIsKeptPerKindOfInstrument)
{
    const auto identify = [&](const QString& model, const QString& software) {
        sim.replies["110005"] = "1";
        sim.replies["110003"] = model;
        sim.replies["110004"] = software;
        sim.replies["110001"] = "V2.10";
        device.ReadIdentity();
    };
    const auto typeReads = [&] { return sim.Count("010200"); };
    sim.replies["010200"] = "07";
    identify("Q900 Q910", "2.31");
    device.SetCurrentRegister(0x200);
    ASSERT_TRUE(device.ReadType());
    ASSERT_TRUE(device.ReadType());
    EXPECT_EQ(typeReads(), 1);

    sim.replies["010200"] = "03";
    identify("Q900 Q920", "2.31");
    device.SetCurrentRegister(0x200);
    ASSERT_TRUE(device.ReadType());
    EXPECT_EQ(device.ReplyText(), "03") << "not the first kind's type";
    EXPECT_EQ(typeReads(), 2);
    identify("Q900 Q910", "2.40");
    device.SetCurrentRegister(0x200);
    ASSERT_TRUE(device.ReadType());
    EXPECT_EQ(typeReads(), 3) << "another software version is another kind";

    identify("Q900 Q910", "2.31");
    device.SetCurrentRegister(0x200);
    ASSERT_TRUE(device.ReadType());
    EXPECT_EQ(device.ReplyText(), "07");
    EXPECT_EQ(typeReads(), 3) << "back to the first kind: nothing asked";
}

TEST_F(DeviceTest, CalibrationFiguresAndReferenceSignal)
{
    sim.replies["110112"] = "2710"; // span weight 10000
    sim.replies["050025"] = "  12.345kg ";
    sim.replies["11002F"] = "1388"; // reference 5000
    sim.replies["1100F0"] = "CAL:1,2,3";
    sim.replies["110111"] = "64";   // 100
    sim.replies["110113"] = "4E20"; // 20000
    sim.replies["110114"] = "3E8";
    sim.replies["110115"] = "FFFFFF9C"; // -100
    device.ReadCalibration();
    EXPECT_EQ(device.SpanWeight, 10000);
    EXPECT_EQ(device.WeightDecimals, 3);
    EXPECT_EQ(device.WeightUnits, "45") << "text is trimmed before units are cut";
    EXPECT_EQ(device.ReferenceWeight, 5000);
    EXPECT_EQ(device.CalibrationBlock, "CAL:1,2,3");
    EXPECT_EQ(device.ZeroSignal, 100);
    EXPECT_EQ(device.ReferenceSignal, 5000 * 20000 / 10000);
    EXPECT_EQ(device.LinPoints[0], 1000);
    EXPECT_EQ(device.LinPoints[1], -100);
    EXPECT_EQ(device.LinPoints[2], 0);

    device.LinPointCount = 3;
    EXPECT_EQ(device.LinPointList(), (QStringList{" 1: 1.000", " 2: -0.100", " 3:"}));
}

TEST_F(DeviceTest, ZeroSpanWeightDoesNotDivide)
{
    sim.replies["11002F"] = "1388";
    device.SpanWeight = 0;
    device.SetSpanSignal(20000);
    EXPECT_EQ(device.ReferenceSignal, 0);
}

TEST_F(DeviceTest, NothingComesOfASilentInstrument)
{
    EXPECT_FALSE(device.ReadValue());
    EXPECT_EQ(device.Unanswered(), 1);
    TMenuNode tree;
    device.BuildMenuTree(tree, 0x11, "SAFE SETUP");
    EXPECT_EQ(tree.Children().size(), 1u);
}
