#include "device.h"

#include "protocol.h"
#include "tools.h"

using namespace protocol;

namespace {

int LevelOf(QChar letter)
{
    if (letter == u'S')
        return level::Safe;
    if (letter == u'F')
        return level::Full;
    if (letter == u'f')
        return level::Local;
    return level::None;
}

} // namespace

TDevice::TDevice(IRequester& requester) : m_requester(requester)
{
    ClearAll();
    LinPointCount = 0;
}

void TDevice::ClearCalibration()
{
    LinPoints.fill(0);
    ZeroSignal = SpanWeight = SpanSignal = ReferenceSignal = WeightDecimals = 0;
    ReferenceWeight = 0;
    WeightUnits = QStringLiteral("  ");
    CalibrationBlock.clear();
}

void TDevice::ClearAll()
{
    ClearCalibration();
    SerialNumber.clear();
    ModelText.clear();
    ModelVariant.clear();
    SoftwareVersion.clear();
    CommsVersion.clear();
}

void TDevice::SetCurrentRegister(int reg)
{
    CurrentRegister = tools::HexText(static_cast<uint32_t>(reg) & 0xFFFF, 4);
}

int32_t TDevice::ReplyNumber() const
{
    return static_cast<int32_t>(tools::HexToInt(LastReplyData));
}

void TDevice::EvaluateReply(const TReply& reply)
{
    m_lastOutcome = reply.outcome;
    LastReplyData = reply.Answered() ? reply.Data().trimmed().left(300) : QString();
    m_failed = !reply.Answered() || reply.record.ErrorBit;
    if (reply.outcome == TOutcome::NoReply || reply.outcome == TOutcome::PortClosed)
        ++m_unanswered;
}

// Every read of the model waits the short time and reports an error reply, unless it probes
// a menu's child list, whose entries may well not exist.
bool TDevice::Request(int command, const QString& data)
{
    TRequest request =
        TRequest::Of(command, static_cast<int>(tools::HexToInt(CurrentRegister)), data).ForModel();
    request.reportErrors = ReadingMenu != 1;
    EvaluateReply(m_requester.SendCommand(request));
    return !m_failed;
}

TMenuCacheItem& TDevice::CacheEntry()
{
    auto& entry = m_menuCache[InstrumentKind()][CurrentRegister];
    if (!entry)
        entry = std::make_unique<TMenuCacheItem>();
    return *entry;
}

bool TDevice::ReadCached(int command, int flag)
{
    TMenuCacheItem& entry = CacheEntry();
    if (entry.Flags & flag) {
        const int32_t number = flag == TMenuCacheItem::kMinimum ? entry.Minimum : entry.Maximum;
        LastReplyData = flag == TMenuCacheItem::kTypeCode
                            ? entry.TypeCode
                            : tools::HexText(static_cast<uint32_t>(number), 8);
        m_failed = false;
        return true;
    }
    if (!Request(command))
        return false;
    if (flag == TMenuCacheItem::kMinimum)
        entry.Minimum = ReplyNumber();
    else if (flag == TMenuCacheItem::kMaximum)
        entry.Maximum = ReplyNumber();
    else
        entry.TypeCode = ReplyText();
    entry.Flags |= flag;
    return true;
}

bool TDevice::ReadType()
{
    return ReadCached(cmd::ReadType, TMenuCacheItem::kTypeCode);
}

bool TDevice::ReadMinimum()
{
    return ReadCached(cmd::ReadMinimum, TMenuCacheItem::kMinimum);
}

bool TDevice::ReadMaximum()
{
    return ReadCached(cmd::ReadMaximum, TMenuCacheItem::kMaximum);
}

bool TDevice::ReadDisplayText()
{
    return Request(cmd::ReadDisplayText);
}

bool TDevice::ReadName()
{
    return Request(cmd::ReadName);
}

bool TDevice::ReadListEntry(int index)
{
    return Request(cmd::ReadListEntry, tools::HexText(static_cast<uint32_t>(index), 2));
}

bool TDevice::ReadAccess()
{
    return Request(cmd::ReadAccess);
}

bool TDevice::ReadValue()
{
    return Request(cmd::ReadValue);
}

bool TDevice::WriteValue(const QString& data)
{
    return Request(cmd::WriteValue, data);
}

bool TDevice::ReadItemHeader()
{
    LastReplyData.clear();
    if (!ReadType())
        return false;
    const QString header =
        tools::HexText(tools::HexToInt(ReplyText()) & 0xFF, 2) + QStringLiteral("00");
    if (!ReadName())
        return false;
    LastReplyData = header + ReplyText();
    return true;
}

bool TDevice::ReadChildList(QStringList& children)
{
    ReadingMenu = 1;
    children.clear();
    ReadMinimum();
    const bool minimumOk = !m_failed;
    const int32_t minimum = ReplyNumber();
    ReadMaximum();
    const bool maximumOk = !m_failed;
    const int32_t maximum = ReplyNumber();
    if (minimumOk && maximumOk && maximum >= minimum) {
        for (int32_t index = minimum; index <= maximum; ++index) {
            if (ReadListEntry(index))
                children << tools::HexText(tools::HexToInt(ReplyText()) & 0xFFFF, 4);
        }
    }
    ReadingMenu = 0;
    return !m_failed;
}

std::unique_ptr<TNodeData> TDevice::NewNodeData(const QString& name, const QString& reg,
                                                const QString& type)
{
    TRegisterKeeper keep(*this);
    CurrentRegister = reg;
    auto data = std::make_unique<TNodeData>();
    data->Name = name;
    data->Register = reg;
    data->TypeCode = type;
    if (type.isEmpty()) {
        if (ReadType())
            data->TypeCode = ReplyText();
        else
            data->Valid = 0;
    }
    if (!item::HasValue(data->Type()))
        return data;
    if (ReadAccess()) {
        const QString letters = ReplyText();
        const int read = letters.size() > 0 ? LevelOf(letters.at(0)) : 0;
        const int write = letters.size() > 1 ? LevelOf(letters.at(1)) : 0;
        data->Access = static_cast<uint8_t>(read | (write << 2) | 0x80);
    } else {
        data->Valid = 0;
    }
    if (!FullAccess && (data->ReadLevel() == level::Full || data->ReadLevel() == level::Local)) {
        data->Valid = 0;
    } else {
        if (ReadValue())
            data->RawValue = ReplyText();
        else
            data->Valid = 0;
        if (ReadDisplayText())
            data->DisplayText = ReplyText();
        else
            data->Valid = 0;
    }
    data->HasValue = 1;
    return data;
}

std::optional<QStringList> TDevice::ReadMenuList(const TMenuNode& menu)
{
    TRegisterKeeper keep(*this);
    CurrentRegister = menu.Data ? menu.Data->Register : CurrentRegister;
    QString previous = CurrentRegister;
    QStringList children;
    if (!ReadChildList(children))
        return std::nullopt;
    QStringList distinct;
    for (const QString& reg : children) {
        if (reg != previous)
            distinct << reg;
        previous = reg;
    }
    return distinct;
}

TDevice::TChildRead TDevice::ReadChild(TMenuNode& menu, const QString& reg)
{
    TRegisterKeeper keep(*this);
    CurrentRegister = reg;
    const int unanswered = m_unanswered;
    const bool headerRead = ReadItemHeader();
    std::unique_ptr<TNodeData> data;
    if (headerRead)
        data = NewNodeData(LastReplyData.mid(4), reg, LastReplyData.left(2));
    // A child the instrument did not answer for (as against one it refused) leaves the
    // menu unread, not shorter: a backup of it must not look complete.
    if (m_unanswered != unanswered)
        return TChildRead::Unanswered;
    if (!headerRead)
        return TChildRead::Refused;
    TMenuNode* child = menu.AddChild(data->Name);
    child->Data = std::move(data);
    const int code = child->Data->Type();
    if (code == item::Menu)
        child->AddChild(QStringLiteral("..."));
    else if (item::HasValue(code))
        child->Caption = NodeCaption(*child->Data);
    return TChildRead::Added;
}

void TDevice::ReadMenuChildren(TMenuNode& menu)
{
    const std::optional<QStringList> children = ReadMenuList(menu);
    if (!children) {
        menu.AddChild(QStringLiteral("..."));
        return;
    }
    for (const QString& reg : *children) {
        if (ReadChild(menu, reg) == TChildRead::Unanswered) {
            menu.Clear();
            menu.AddChild(QStringLiteral("..."));
            return;
        }
    }
}

void TDevice::BuildMenuTree(TMenuNode& nodes, int rootRegister, const QString& caption)
{
    nodes.Clear();
    TMenuNode* root = nodes.AddChild(caption);
    root->Data = NewNodeData(caption, tools::HexText(static_cast<uint32_t>(rootRegister), 4),
                             tools::HexText(item::Menu, 2));
    ReadMenuChildren(*root);
}

QString TDevice::NodeCaption(const TNodeData& data)
{
    QString caption = tools::PadRight(data.Name, 8) + QStringLiteral(" : ") + data.DisplayText;
    if (caption.size() > 25)
        caption = caption.left(25) + QStringLiteral(" ...");
    return caption;
}

std::optional<QStringList> TDevice::GetOptionList()
{
    TMenuCacheItem& entry = CacheEntry();
    if (!(entry.Flags & TMenuCacheItem::kTypeCode))
        ReadType();
    const uint32_t type = tools::HexToInt(entry.TypeCode);
    if (type != item::Options && type != item::BitField)
        return std::nullopt;
    QStringList result;
    if (entry.Flags & TMenuCacheItem::kOptions)
        return *entry.Options;
    if (ReadMinimum()) {
        const int32_t minimum = ReplyNumber();
        if (ReadMaximum()) {
            const int32_t maximum = ReplyNumber();
            entry.Options = std::make_unique<QStringList>();
            for (int32_t index = minimum; index <= maximum; ++index) {
                if (ReadListEntry(index))
                    *entry.Options << ReplyText();
            }
            entry.Flags |= TMenuCacheItem::kOptions;
            result = *entry.Options;
        }
    }
    return result;
}

bool TDevice::ReadRegisterValue(int reg)
{
    SetCurrentRegister(reg);
    return ReadValue();
}

QString TDevice::InstrumentKind() const
{
    return ModelText + u'\n' + SoftwareVersion;
}

void TDevice::ReadIdentity()
{
    SerialNumber.clear();
    ModelText.clear();
    ModelVariant.clear();
    SoftwareVersion.clear();
    CommsVersion.clear();
    // The first register the instrument refuses or leaves unanswered ends the reading: the
    // others would only repeat the same report or wait as long again.
    if (!ReadRegisterValue(reg::SerialNumber))
        return;
    SerialNumber = QString::number(ReplyNumber());
    if (!ReadRegisterValue(reg::ModelText))
        return;
    ModelText = ReplyText();
    ModelVariant = ModelText.mid(5, 4);
    if (!ReadRegisterValue(reg::SoftwareVersion))
        return;
    SoftwareVersion = ReplyText();
    if (ReadRegisterValue(reg::CommsVersion))
        CommsVersion = ReplyText();
}

void TDevice::ReadCalibration()
{
    ClearCalibration();
    if (ReadRegisterValue(reg::SpanWeight))
        SpanWeight = ReplyNumber();
    SetCurrentRegister(reg::WeightText);
    if (ReadDisplayText()) {
        const QString text = ReplyText();
        WeightDecimals = tools::DecimalPlaces(text);
        const qsizetype length = text.size();
        if (length >= 4)
            WeightUnits = text.mid(length - 4, 2);
    }
    if (ReadRegisterValue(reg::ReferenceWeight))
        ReferenceWeight = ReplyNumber();
    if (ReadRegisterValue(reg::CalibrationBlock))
        CalibrationBlock = ReplyText();
    if (ReadRegisterValue(reg::ZeroSignal))
        SetZeroSignal(ReplyNumber());
    if (ReadRegisterValue(reg::SpanSignal))
        SetSpanSignal(ReplyNumber());
    for (int k = 0; k < 10; ++k)
        LinPoints[k] = ReadRegisterValue(reg::LinWeightFirst + k) ? ReplyNumber() : 0;
}

void TDevice::SetSpanSignal(int32_t value)
{
    SpanSignal = value;
    UpdateReferenceSignal();
}

void TDevice::UpdateReferenceSignal()
{
    TRegisterKeeper keep(*this);
    if (!ReadRegisterValue(reg::ReferenceWeight))
        return;
    // Without a span weight there is no span calibration to scale by.
    if (SpanWeight == 0) {
        ReferenceSignal = 0;
        return;
    }
    const auto product = static_cast<int32_t>(static_cast<uint32_t>(ReplyNumber()) *
                                              static_cast<uint32_t>(SpanSignal));
    ReferenceSignal = (product == INT32_MIN && SpanWeight == -1) ? product : product / SpanWeight;
}

QStringList TDevice::LinPointList() const
{
    QStringList lines;
    for (int i = 1; i <= LinPointCount; ++i) {
        const int32_t point = LinPoints[i - 1];
        if (point != 0 && point <= 1000000)
            lines << QStringLiteral("%1: %2").arg(i, 2).arg(
                tools::IntToFixed(point, WeightDecimals));
        else
            lines << QStringLiteral("%1:").arg(i, 2);
    }
    return lines;
}
