// Settings files (".VSF") read from disk with LoadSettingsFile and checked with FillSendTree.
// Files the loader refuses still go through FillSendTree as plain lines, so the request check
// sees control characters and binary too. The safety rule: whatever the file, what may be
// sent is only well-formed settings writes, even after readdressing for a ring.
#include "comms.h"
#include "fuzzcheck.h"
#include "inputclock.h"
#include "protocol.h"
#include "scratchfolder.h"
#include "settingsfile.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

bool IsSettingsWrite(const QString& line, int address)
{
    Tcommsobj message;
    return message.Parse(line) && message.RequestBit && !message.ReplyBit && !message.ErrorBit &&
           message.Command == protocol::cmd::WriteValue &&
           (address < 0 || message.Address == address);
}

bool HoldsControl(const QString& line)
{
    return std::any_of(line.cbegin(), line.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

size_t NodeCount(const TMenuNode& node)
{
    size_t count = 1;
    for (const auto& child : node.Children())
        count += NodeCount(*child);
    return count;
}

void CheckSendTree(const QStringList& lines)
{
    const settingsfile::TSendTree tree = settingsfile::FillSendTree(lines);
    FuzzCheck(NodeCount(*tree.Tree) <= size_t(lines.size()) + 1, "one node per outline line");
    if (!tree.Ok()) {
        FuzzCheck(tree.Requests.empty(), "a refused file has nothing to send");
        return;
    }
    for (const settingsfile::TFileRequest& request : tree.Requests) {
        FuzzCheck(request.LineNumber >= 1 && request.LineNumber <= lines.size(),
                  "a request names its line");
        FuzzCheck(!HoldsControl(request.Text), "a request holds no control character");
        FuzzCheck(request.Text.size() <= protocol::ctl::MaxMessage, "a request fits a message");
        FuzzCheck(IsSettingsWrite(request.Text, -1), "only settings writes may be sent");
        const int address = request.LineNumber % (protocol::flag::MaxAddress + 1);
        FuzzCheck(IsSettingsWrite(settingsfile::Readdressed(request.Text, address), address),
                  "a readdressed request is a settings write to that address");
        (void)settingsfile::IsCalibrationLine(request.Text);
    }
}

} // namespace

int FuzzOne(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = TScratchFolder::Instance().Write(QStringLiteral("input.VSF"), bytes);
    const settingsfile::TFileLines file = settingsfile::LoadSettingsFile(path);
    FuzzCheck(file.Ok() ? !file.Lines.isEmpty() : file.Lines.isEmpty(),
              "a loaded file has lines, a refused one none");
    CheckSendTree(file.Ok() ? file.Lines : QString::fromLatin1(bytes).split(u'\n'));
    return 0;
}
