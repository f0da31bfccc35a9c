#pragma once

#include "menunode.h"
#include "request.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

// Attributes of one register that never change while the program runs.
struct TMenuCacheItem
{
    static constexpr int kMinimum = 0x01;
    static constexpr int kMaximum = 0x02;
    static constexpr int kTypeCode = 0x04;
    static constexpr int kOptions = 0x40;

    int32_t Minimum = -1;
    int32_t Maximum = -1;
    QString TypeCode;
    std::unique_ptr<QStringList> Options;
    int Flags = 0;
};

// The program's model of the connected instrument: identity, calibration figures and the
// reader of its own menu tree. Asks one register at a time through its requester (the
// instrument link); failures are results (ReplyFailed, Valid = 0, fields left cleared).
class TDevice
{
public:
    explicit TDevice(IRequester& requester);

    std::array<int32_t, 10> LinPoints{};
    int32_t ZeroSignal = 0;
    int32_t SpanWeight = 0;
    int32_t SpanSignal = 0;
    int32_t ReferenceSignal = 0;
    int32_t WeightDecimals = 0;
    QString WeightUnits;
    int32_t ReferenceWeight = 0;
    QString CalibrationBlock;
    QString SerialNumber;
    QString ModelText;
    QString ModelVariant;
    QString SoftwareVersion;
    QString CommsVersion;
    QString CurrentRegister = QStringLiteral("0000");
    QString LastReplyData;
    bool FullAccess = false;
    int32_t LinPointCount = 0;
    int32_t ReadingMenu = 0;

    void ClearAll();
    void ClearCalibration();
    void SetCurrentRegister(int reg);
    void SetCurrentRegister(const QString& reg) { CurrentRegister = reg; }

    [[nodiscard]] bool ReplyFailed() const { return m_failed; }
    // How the last request ended.
    [[nodiscard]] TOutcome LastOutcome() const { return m_lastOutcome; }
    // Requests that got no reply at all (time-out, port gone) since the last reset.
    [[nodiscard]] int Unanswered() const { return m_unanswered; }
    void ResetUnanswered() { m_unanswered = 0; }
    [[nodiscard]] int32_t ReplyNumber() const;
    [[nodiscard]] QString ReplyText() const { return LastReplyData; }

    // Each returns true on success (the same as !ReplyFailed() afterwards).
    bool ReadType();
    bool ReadMinimum();
    bool ReadMaximum();
    bool ReadDisplayText();
    bool ReadName();
    bool ReadListEntry(int index);
    bool ReadAccess();
    bool ReadValue();
    bool WriteValue(const QString& data);

    bool ReadItemHeader();
    bool ReadChildList(QStringList& children);
    [[nodiscard]] std::unique_ptr<TNodeData> NewNodeData(const QString& name, const QString& reg,
                                                         const QString& type);
    // How reading one child of a menu went.
    enum class TChildRead
    {
        Added,
        Refused,   // the instrument refused its header: it is left out
        Unanswered // no reply: the menu cannot be called read
    };
    // The registers of a menu's children, a repeat of the one before (or of the menu itself)
    // left out; none when the list cannot be read.
    [[nodiscard]] std::optional<QStringList> ReadMenuList(const TMenuNode& menu);
    // Reads one child and adds it under the menu: a menu child with a "..." placeholder, an
    // item with its caption.
    TChildRead ReadChild(TMenuNode& menu, const QString& reg);
    // Reads a menu's children (not their children): a menu whose list or a child of which
    // goes unanswered keeps only a "..." placeholder.
    void ReadMenuChildren(TMenuNode& menu);
    void BuildMenuTree(TMenuNode& nodes, int rootRegister, const QString& caption);
    // Option texts of CurrentRegister; none when it is not an option list or bit field.
    [[nodiscard]] std::optional<QStringList> GetOptionList();
    [[nodiscard]] static QString NodeCaption(const TNodeData& data);

    // Reads the identity registers; the attribute cache follows the kind of instrument read.
    void ReadIdentity();
    [[nodiscard]] QString InstrumentKind() const;
    void ReadCalibration();
    [[nodiscard]] int32_t GetZeroSignal() const { return ZeroSignal; }
    void SetZeroSignal(int32_t value) { ZeroSignal = value; }
    [[nodiscard]] int32_t GetSpanSignal() const { return SpanSignal; }
    void SetSpanSignal(int32_t value);
    void UpdateReferenceSignal();
    [[nodiscard]] QStringList LinPointList() const;

private:
    bool Request(int command, const QString& data = {});
    void EvaluateReply(const TReply& reply);
    bool ReadCached(int command, int flag);
    TMenuCacheItem& CacheEntry();
    bool ReadRegisterValue(int reg);

    IRequester& m_requester;
    // Attributes per instrument kind (model text and software version), then per register:
    // another kind of instrument has its own limits and option texts.
    std::map<QString, std::map<QString, std::unique_ptr<TMenuCacheItem>>> m_menuCache;
    bool m_failed = true;
    TOutcome m_lastOutcome = TOutcome::PortClosed;
    int m_unanswered = 0;
};

// Restores the register the model addresses however the enclosing operation ends.
class TRegisterKeeper
{
public:
    explicit TRegisterKeeper(TDevice& device) : m_device(device), m_saved(device.CurrentRegister) {}
    ~TRegisterKeeper() { m_device.CurrentRegister = m_saved; }
    TRegisterKeeper(const TRegisterKeeper&) = delete;
    TRegisterKeeper& operator=(const TRegisterKeeper&) = delete;

private:
    TDevice& m_device;
    QString m_saved;
};
