#include "settingsfile.h"

#include "atomicfile.h"
#include "comms.h"
#include "protocol.h"
#include "tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace settingsfile {

namespace {

using namespace protocol;

constexpr char16_t kDelete = 0x7F;
constexpr char16_t kTab = u'\t';
// An outline line has no ':' or its first ':' within its first three characters.
constexpr qsizetype kOutlineColonLimit = 2;
// How much of a refused line its message quotes.
constexpr qsizetype kQuoteLength = 40;

bool IsControl(char16_t c)
{
    return c < u' ' || c == kDelete;
}

// Whether a character cannot stand in a line of text read back from a file.
bool BreaksTextLine(char16_t c)
{
    return IsControl(c) && c != kTab;
}

bool HoldsControl(const QString& line)
{
    return std::any_of(line.cbegin(), line.cend(), [](QChar c) { return IsControl(c.unicode()); });
}

bool IsOutlineLine(const QString& line)
{
    return line.indexOf(u':') <= kOutlineColonLimit;
}

int OutlineLevel(const QString& line)
{
    const qsizetype colon = line.indexOf(u':');
    return colon < 0 ? 0 : tools::DigitsToInt(line.left(colon));
}

// The text after the first ':' (the whole line when it has none), leading blank included.
QString OutlineCaption(const QString& line)
{
    return line.mid(line.indexOf(u':') + 1);
}

// A caption is only shown, so a line break the instrument put in a name must not split the
// outline line in two.
QString PrintableCaption(QString caption)
{
    for (QChar& c : caption) {
        if (IsControl(c.unicode()))
            c = u' ';
    }
    return caption;
}

QString WriteRequest(int reg, const QString& data)
{
    Tcommsobj message;
    message.RequestBit = true;
    message.Command = cmd::WriteValue;
    message.Register = reg;
    message.Data = data;
    return message.Build();
}

bool IsWritable(const TNodeData& data)
{
    return data.Valid && data.HasValue && data.WriteLevel() != level::Local;
}

void WriteNode(const TMenuNode& node, int depth, const QString& calibrationBlock,
               QStringList& lines)
{
    lines << QString::number(depth) + QStringLiteral(": ") + PrintableCaption(node.Caption);
    if (depth == 1 && !calibrationBlock.isEmpty())
        lines << WriteRequest(reg::CalibrationBlock, calibrationBlock);
    if (node.Data && IsWritable(*node.Data))
        lines << WriteRequest(static_cast<int>(tools::HexToInt(node.Data->Register)),
                              node.Data->RawValue);
    for (const auto& child : node.Children())
        WriteNode(*child, depth + 1, calibrationBlock, lines);
}

// Places the outline lines under the top node, taking them in file order: a deeper line opens
// the children of the node placed last, a shallower one closes the level.
class TOutlineReader
{
public:
    explicit TOutlineReader(const QStringList& lines) : m_lines(lines)
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (IsOutlineLine(lines.at(i)))
                m_outline.push_back(i);
        }
    }

    void Read(TMenuNode& holder)
    {
        if (m_outline.empty())
            return;
        TMenuNode* top = holder.AddChild(OutlineCaption(m_lines.at(m_outline.front())));
        m_placed.push_back(top);
        m_next = 1;
        AddChildren(*top, 2);
    }

    // The node placed from a line, or none.
    [[nodiscard]] TMenuNode* NodeOfLine(qsizetype index) const
    {
        const auto at = std::find(m_outline.begin(), m_outline.begin() + qsizetype(m_next), index);
        return at == m_outline.begin() + qsizetype(m_next)
                   ? nullptr
                   : m_placed[size_t(at - m_outline.begin())];
    }

    // The lines not placed in the tree, in file order.
    [[nodiscard]] std::vector<TFileRequest> Remaining() const
    {
        std::vector<bool> placed(static_cast<size_t>(m_lines.size()), false);
        for (size_t k = 0; k < m_next; ++k)
            placed[static_cast<size_t>(m_outline[k])] = true;
        std::vector<TFileRequest> remaining;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (!placed[static_cast<size_t>(i)])
                remaining.push_back({m_lines.at(i), static_cast<int>(i + 1)});
        }
        return remaining;
    }

private:
    void AddChildren(TMenuNode& parent, int depth)
    {
        TMenuNode* last = nullptr;
        while (m_next < m_outline.size()) {
            const QString& line = m_lines.at(m_outline[m_next]);
            const int lineDepth = OutlineLevel(line);
            if (lineDepth < depth)
                return;
            if (lineDepth > depth) {
                AddChildren(last ? *last : parent, lineDepth);
            } else {
                last = parent.AddChild(OutlineCaption(line));
                m_placed.push_back(last);
                ++m_next;
            }
        }
    }

    const QStringList& m_lines;
    std::vector<qsizetype> m_outline; // indexes of the outline lines
    std::vector<TMenuNode*> m_placed; // the node of each outline line placed
    size_t m_next = 0;                // the first outline line not placed yet
};

// A setting's write gives its node the register and the value the file would send, so that
// the tree can be compared value for value.
void AttachValue(TMenuNode& node, const QString& request)
{
    Tcommsobj message;
    if (!message.Parse(request))
        return;
    node.Data = std::make_unique<TNodeData>();
    node.Data->Register = tools::HexText(static_cast<uint32_t>(message.Register), 4);
    node.Data->RawValue = message.Data;
    node.Data->HasValue = 1;
}

bool IsWriteRequestText(const QString& line)
{
    Tcommsobj message;
    return message.Parse(line) && message.RequestBit && !message.ReplyBit && !message.ErrorBit &&
           message.Command == cmd::WriteValue;
}

QString Quoted(const QString& line)
{
    return line.size() > kQuoteLength ? line.left(kQuoteLength) + QStringLiteral("...") : line;
}

// Why this line may not be sent, as the end of "Line N of the settings file ..."; empty when
// it is a sound write request.
QString RefusalOf(const QString& line)
{
    if (line.isEmpty())
        return QStringLiteral("is empty");
    if (line.size() > ctl::MaxMessage)
        return QStringLiteral("is too long for a request (%1 characters)").arg(line.size());
    if (HoldsControl(line))
        return QStringLiteral("holds a control character");
    if (IsOutlineLine(line) && line.contains(u':'))
        return QStringLiteral("does not fit the menu outline: ") + Quoted(line);
    if (!IsWriteRequestText(line))
        return QStringLiteral("is not a settings write request: ") + Quoted(line);
    return {};
}

// A write belongs where the program puts it: the calibration right after the top line, a
// setting's write right after that setting's line ("NAME : value"), and never to a register
// with a fixed meaning. Empty when the request stands there.
QString PlacementRefusal(const QStringList& lines, const TFileRequest& request)
{
    Tcommsobj message;
    message.Parse(request.Text);
    const QString registerText = tools::HexText(static_cast<uint32_t>(message.Register), 4);
    const qsizetype index = request.LineNumber - 1;
    const QString before = index > 0 ? lines.at(index - 1) : QString();
    const bool afterOutline = index > 0 && IsOutlineLine(before);
    if (message.Register == reg::CalibrationBlock) {
        if (afterOutline && OutlineLevel(before) == 1)
            return {};
        return QStringLiteral("writes the calibration away from the top of the outline: ") +
               Quoted(request.Text);
    }
    if (reg::IsNeverASetting(message.Register))
        return QStringLiteral("writes register %1, which is no setting: ").arg(registerText) +
               Quoted(request.Text);
    if (!afterOutline || OutlineLevel(before) < 2 ||
        !OutlineCaption(before).contains(QLatin1String(" : ")))
        return QStringLiteral("is no write of the setting on the line before it: ") +
               Quoted(request.Text);
    return {};
}

QString CheckRequests(const QStringList& lines, const std::vector<TFileRequest>& requests)
{
    for (const TFileRequest& request : requests) {
        QString refusal = RefusalOf(request.Text);
        if (refusal.isEmpty())
            refusal = PlacementRefusal(lines, request);
        if (!refusal.isEmpty())
            return QStringLiteral("Line %1 of the settings file %2")
                .arg(QString::number(request.LineNumber), refusal);
    }
    return {};
}

bool HoldsBinary(const QByteArray& bytes)
{
    return std::any_of(bytes.cbegin(), bytes.cend(), [](char byte) {
        const auto c = static_cast<char16_t>(static_cast<unsigned char>(byte));
        return BreaksTextLine(c) && c != ctl::CR && c != ctl::LF;
    });
}

QStringList SplitLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromLatin1(bytes).split(QChar(ctl::LF));
    if (lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line
    for (QString& line : lines) {
        if (line.endsWith(QChar(ctl::CR)))
            line.chop(1);
    }
    return lines;
}

TFileLines Refused(const QString& message)
{
    return {{}, message};
}

} // namespace

QStringList TSendTree::RequestTexts() const
{
    QStringList texts;
    for (const TFileRequest& request : Requests)
        texts << request.Text;
    return texts;
}

QString TSendTree::Calibration() const
{
    for (const TFileRequest& request : Requests) {
        Tcommsobj message;
        if (IsCalibrationLine(request.Text) && message.Parse(request.Text))
            return message.Data;
    }
    return {};
}

QStringList TSendTree::RequestsToSend(bool includeCalibration) const
{
    QStringList texts;
    for (const TFileRequest& request : Requests) {
        if (includeCalibration || !IsCalibrationLine(request.Text))
            texts << request.Text;
    }
    return texts;
}

QStringList WriteSettingsFile(const TMenuNode& tree, const QString& calibration)
{
    QStringList lines;
    if (!tree.Children().empty())
        WriteNode(*tree.Children().front(), 1, calibration, lines);
    return lines;
}

TSendTree FillSendTree(const QStringList& lines)
{
    TSendTree result;
    TOutlineReader reader(lines);
    reader.Read(*result.Tree);
    result.Requests = reader.Remaining();
    result.Error = CheckRequests(lines, result.Requests);
    if (!result.Ok()) {
        result.Requests.clear();
        return result;
    }
    for (const TFileRequest& request : result.Requests) {
        TMenuNode* node = reader.NodeOfLine(request.LineNumber - 2);
        if (node && !IsCalibrationLine(request.Text))
            AttachValue(*node, request.Text);
    }
    return result;
}

TSendTree ReadSendTree(const QString& path)
{
    const TFileLines file = LoadSettingsFile(path);
    if (!file.Ok()) {
        TSendTree refused;
        refused.Error = file.Error;
        return refused;
    }
    return FillSendTree(file.Lines);
}

TFileLines LoadSettingsFile(const QString& path)
{
    const QString name = QDir::toNativeSeparators(path);
    // A pipe or device would block the reader or never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return Refused(QStringLiteral("%1 is not a settings file.").arg(name));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refused(QStringLiteral("Cannot open %1: %2").arg(name, file.errorString()));
    if (file.size() > kMaxFileBytes)
        return Refused(
            QStringLiteral("%1 is too large for a settings file (over 1 MB).").arg(name));
    // Its size and one byte more, to see a file that grew past the limit meanwhile: read()
    // allocates all it is asked for, so asking for the limit would cost a megabyte each time.
    const QByteArray bytes = file.read(file.size() + 1);
    if (file.error() != QFileDevice::NoError)
        return Refused(QStringLiteral("Cannot read %1: %2").arg(name, file.errorString()));
    if (bytes.isEmpty())
        return Refused(QStringLiteral("The settings file %1 is empty.").arg(name));
    if (bytes.size() > kMaxFileBytes)
        return Refused(
            QStringLiteral("%1 is too large for a settings file (over 1 MB).").arg(name));
    if (HoldsBinary(bytes))
        return Refused(
            QStringLiteral("%1 is not a settings file: it holds binary data.").arg(name));
    QStringList lines = SplitLines(bytes);
    // Every line the program writes ends with CR LF. A request without its line end may have
    // lost the end of its value, and would be sent so.
    if (!bytes.endsWith(char(ctl::LF)) && !IsOutlineLine(lines.last()))
        return Refused(QStringLiteral("%1 is cut short: line %2 has no line end.")
                           .arg(name, QString::number(lines.size())));
    return {std::move(lines), {}};
}

QString SaveSettingsFile(const QString& path, const QStringList& lines)
{
    if (lines.isEmpty())
        return QStringLiteral("There are no settings to save: start a setup session first.");
    // Such a line would not read back as written.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (std::any_of(line.cbegin(), line.cend(),
                        [](QChar c) { return BreaksTextLine(c.unicode()); }))
            return QStringLiteral("Settings line %1 holds a line break or control character; "
                                  "nothing was saved.")
                .arg(i + 1);
    }
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    const QString error = TAtomicFile::WriteFile(path, bytes);
    if (!error.isEmpty())
        return QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), error);
    return {};
}

QString WithDefaultExtension(const QString& path, const QString& extension)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString fileName = path.mid(slash + 1);
    if (fileName.isEmpty() || fileName.contains(u'.'))
        return path;
    return path + extension;
}

bool HasUnreadMenus(const TMenuNode& tree)
{
    return std::any_of(tree.Children().cbegin(), tree.Children().cend(), [](const auto& child) {
        return child->IsPlaceholder() || HasUnreadMenus(*child);
    });
}

QString Readdressed(const QString& requestLine, int address)
{
    if (requestLine.size() < 2)
        return requestLine;
    const int high = tools::HexDigitValue(requestLine.at(0));
    const int low = tools::HexDigitValue(requestLine.at(1));
    if (high < 0 || low < 0)
        return requestLine;
    const uint32_t flags = static_cast<uint32_t>(high * 16 + low) & ~flag::AddressMask;
    const uint32_t addressBits = static_cast<uint32_t>(address) & flag::AddressMask;
    return tools::HexText(flags | addressBits, 2) + requestLine.mid(2);
}

bool IsCalibrationLine(const QString& requestLine)
{
    Tcommsobj message;
    return message.Parse(requestLine) && message.Command == cmd::WriteValue &&
           message.Register == reg::CalibrationBlock;
}

} // namespace settingsfile
