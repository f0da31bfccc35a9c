// q900ctl diff: the instrument against its backup, and two files against each other.
#include "ctlrunner.h"

#include <QJsonArray>
#include <QTemporaryDir>

namespace {

class CtlDiff : public CtlOnSimulator
{
protected:
    void SetUp() override { Start(); }
    CtlResult Ctl(const QStringList& arguments)
    {
        return RunCtl(Link() + arguments, {"Q900_PASSCODE=2222"});
    }
    QString File(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(CtlDiff, InstrumentAgainstItsBackupNamesTheChangedSettingWithBothValues)
{
    ASSERT_EQ(Ctl({"backup", File("before.VSF")}).exitCode, 0);
    const CtlResult same = Ctl({"diff", File("before.VSF")});
    EXPECT_EQ(same.exitCode, 0) << same.err.toStdString();
    EXPECT_EQ(same.out, "No differences.\n");

    ASSERT_EQ(Ctl({"write", "0211", "00000004", "--level", "full"}).exitCode, 0); // FILTER 1.0
    const CtlResult changed = Ctl({"diff", File("before.VSF")});
    EXPECT_EQ(changed.exitCode, 1) << changed.err.toStdString();
    EXPECT_EQ(changed.out, "OPTION > FILTER: 0.2 -> 1.0\n");
    const CtlResult json = Ctl({"diff", File("before.VSF"), "--json"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.Json()["setting"].toString(), "OPTION > FILTER");
    EXPECT_EQ(json.Json()["first"].toString(), "0.2");
    EXPECT_EQ(json.Json()["second"].toString(), "1.0");
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Full)) << "the session ended";

    // Two files need no instrument; a file that cannot be read is bad usage.
    ASSERT_EQ(Ctl({"backup", File("after.VSF")}).exitCode, 0);
    const int requests = Requests();
    const CtlResult files = RunCtl({"diff", File("before.VSF"), File("after.VSF")});
    EXPECT_EQ(files.exitCode, 1) << files.err.toStdString();
    EXPECT_EQ(files.out, changed.out);
    EXPECT_EQ(RunCtl({"diff", File("after.VSF"), File("after.VSF")}).exitCode, 0);
    EXPECT_EQ(RunCtl({"diff", File("after.VSF"), File("none.VSF")}).exitCode, 2);
    EXPECT_EQ(Requests(), requests);
}

TEST_F(CtlDiff, CalibrationOnlyWhenAskedFor)
{
    ASSERT_EQ(Ctl({"backup", File("before.VSF")}).exitCode, 0);
    QFile file(File("before.VSF"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    const qsizetype at = bytes.indexOf("201200F0:") + 9;
    bytes[at] = bytes[at] == '0' ? '1' : '0'; // another calibration
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    EXPECT_EQ(Ctl({"diff", File("before.VSF")}).exitCode, 0);
    const CtlResult asked = Ctl({"diff", File("before.VSF"), "--calibration"});
    EXPECT_EQ(asked.exitCode, 1);
    EXPECT_TRUE(asked.out.startsWith("Calibration: ")) << asked.out.toStdString();
}
