#pragma once

// The register protocol's vocabulary: commands, registers with a fixed meaning, error bits,
// address-byte flags, line control characters, menu item types and status bits. Everything
// that speaks the protocol (the engine, the instrument model, the pages, the simulator and
// the tests) takes its numbers from here.

#include <cstdint>

namespace protocol {

// The command byte of a request.
namespace cmd {
inline constexpr int ReadType = 0x01;
inline constexpr int ReadMinimum = 0x02;
inline constexpr int ReadMaximum = 0x03;
inline constexpr int ReadDisplayText = 0x05;
inline constexpr int ReadName = 0x09;
inline constexpr int ReadListEntry = 0x0D;
inline constexpr int ReadAccess = 0x0F;
inline constexpr int Execute = 0x10;
inline constexpr int ReadValue = 0x11;
inline constexpr int WriteValue = 0x12;
} // namespace cmd

// Registers with a fixed meaning; every other register comes from the instrument's menu tree.
namespace reg {
inline constexpr int CommsVersion = 0x0001;
inline constexpr int ModelText = 0x0003;
inline constexpr int SoftwareVersion = 0x0004;
inline constexpr int SerialNumber = 0x0005;
inline constexpr int KeyPress = 0x0008;
inline constexpr int Display = 0x0009;
inline constexpr int StoreSettings = 0x0010;
inline constexpr int MenuRoot = 0x0011;
inline constexpr int FullPasscode = 0x0019;
inline constexpr int SafePasscode = 0x001A;
inline constexpr int CalibrationStatus = 0x0021;
inline constexpr int WeightText = 0x0025;
inline constexpr int ReferenceWeight = 0x002F;
inline constexpr int LogSample = 0x0040;
inline constexpr int LogSetupFirst = 0x0042; // written "1", "6", "2" before a logging run
inline constexpr int LogSetupLast = 0x0044;
inline constexpr int StoredFullPasscode = 0x00D0;
inline constexpr int StoredSafePasscode = 0x00D1;
inline constexpr int SessionControl = 0x00E2;
inline constexpr int CalibrationBlock = 0x00F0;
inline constexpr int CalibrationWeight = 0x0100;
inline constexpr int ZeroCalibration = 0x0102;
inline constexpr int SpanCalibration = 0x0103;
inline constexpr int LinPointFirst = 0x0104; // set or clear linearisation point 1..10
inline constexpr int LinPointLast = 0x010D;
inline constexpr int ZeroSignal = 0x0111;
inline constexpr int SpanWeight = 0x0112;
inline constexpr int SpanSignal = 0x0113;
inline constexpr int LinWeightFirst = 0x0114; // weights of linearisation points 1..10
inline constexpr int LinWeightLast = 0x011D;
inline constexpr int PrintFormat1 = 0x0146;
inline constexpr int PrintFormat2 = 0x0147;
inline constexpr int Clock = 0x0150;
inline constexpr int ClockDay = 0x0152;
inline constexpr int ClockMonth = 0x0153;
inline constexpr int ClockYear = 0x0154; // four digits
inline constexpr int ClockHour = 0x0155;
inline constexpr int ClockMinute = 0x0156;

constexpr bool IsLinPoint(int r)
{
    return r >= LinPointFirst && r <= LinPointLast;
}
constexpr bool IsLinWeight(int r)
{
    return r >= LinWeightFirst && r <= LinWeightLast;
}
// Registers with a fixed meaning that no settings write may touch: identity, keys, display,
// store, passcode entry, session control, logging, the calibration commands and figures (the
// calibration travels only as its block) and the clock.
constexpr bool IsNeverASetting(int r)
{
    return r == CommsVersion || (r >= ModelText && r <= SerialNumber) || r == KeyPress ||
           r == Display || r == StoreSettings || r == MenuRoot || r == FullPasscode ||
           r == SafePasscode || r == CalibrationStatus || r == LogSample ||
           (r >= LogSetupFirst && r <= LogSetupLast) || r == SessionControl ||
           r == CalibrationBlock || (r >= CalibrationWeight && r <= LinWeightLast) || r == Clock;
}
} // namespace reg

// Data texts with a fixed meaning.
namespace data {
inline constexpr char KeepAlive[] = "FF"; // on reg::SessionControl
inline constexpr char EndSession[] = "01";
inline constexpr int KeyShortPress = 0x8000; // + key number, written as hex
inline constexpr int KeyHeldPress = 0x8080;
inline constexpr int LogSampleLength = 24; // three 8-digit hexadecimal fields
// Written to reg::LogSetupFirst .. reg::LogSetupLast in turn before a logging run.
inline constexpr const char* LogSetupValues[] = {"1", "6", "2"};
} // namespace data

// Flags of the address byte, and its address bits.
namespace flag {
inline constexpr uint32_t Reply = 0x80;
inline constexpr uint32_t Error = 0x40;
inline constexpr uint32_t Request = 0x20;
inline constexpr uint32_t AddressMask = 0x1F;
inline constexpr int MaxAddress = 31; // 0 is "Any"
} // namespace flag

// Error bits: the value of an error reply.
namespace err {
inline constexpr uint32_t UnknownError = 0x4000;
inline constexpr uint32_t NotImplemented = 0x2000;
inline constexpr uint32_t AccessDenied = 0x1000;
inline constexpr uint32_t UnderRange = 0x0800;
inline constexpr uint32_t OverRange = 0x0400;
inline constexpr uint32_t IllegalValue = 0x0200;
inline constexpr uint32_t IllegalOperation = 0x0100;
inline constexpr uint32_t SaveFailed = 0x0080;
inline constexpr uint32_t BadParameter = 0x0040;
inline constexpr uint32_t SessionTimedOut = 0x0010;
inline constexpr uint32_t CrcRequired = 0x0008;
} // namespace err

// Control characters of the line: message starts and ends, ring frames.
namespace ctl {
inline constexpr char16_t SOH = 0x01;
inline constexpr char16_t STX = 0x02;
inline constexpr char16_t ETX = 0x03;
inline constexpr char16_t EOT = 0x04;
inline constexpr char16_t LF = 0x0A;
inline constexpr char16_t CR = 0x0D;
inline constexpr char16_t DC2 = 0x12;   // ring frame start
inline constexpr char16_t DC4 = 0x14;   // ring frame end
inline constexpr int MaxMessage = 1000; // characters of one message before it is dropped
} // namespace ctl

// Menu item types: the type code (command ReadType) read as hexadecimal.
namespace item {
inline constexpr int NumberFirst = 1;
inline constexpr int NumberLast = 5;
inline constexpr int String = 6;
inline constexpr int Options = 7;
inline constexpr int Menu = 8;
inline constexpr int Function = 11; // no value: the caption is the name
inline constexpr int BitField = 12;
inline constexpr int LocalFunction = 15; // no value either

constexpr bool IsNumber(int type)
{
    return type >= NumberFirst && type <= NumberLast;
}
constexpr bool HasValue(int type)
{
    return type != Menu && type != Function && type != LocalFunction;
}
} // namespace item

// Access levels as the instrument's access letters give them (S, F, f).
namespace level {
inline constexpr int None = 0;
inline constexpr int Safe = 1;
inline constexpr int Full = 2;
inline constexpr int Local = 3; // the instrument's own keys only
} // namespace level

// Status bits: the third field of a log sample, and the calibration status register.
namespace status {
inline constexpr uint32_t Overload = 0x0001;
inline constexpr uint32_t Underload = 0x0002;
inline constexpr uint32_t Output2 = 0x0040;
inline constexpr uint32_t Output1 = 0x0080;
inline constexpr uint32_t Net = 0x0200;
inline constexpr uint32_t Zero = 0x0400;
inline constexpr uint32_t CentreOfZero = 0x0800;
inline constexpr uint32_t Motion = 0x1000;

inline constexpr uint32_t CalibrationBusy = 0x2000;
inline constexpr uint32_t CalibrationResult = 0x000F;
} // namespace status

} // namespace protocol
