#include "fixedtext.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace fixedtext {

namespace {

constexpr std::array<double, MaxDecimals + 1> kScales = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
constexpr std::array<uint64_t, MaxDecimals + 1> kPowers = {1,     10,     100,    1000,
                                                           10000, 100000, 1000000};
// Below 2^30 the scaled product is within 6e-8 of the exact one, so rounding the product
// gives the correctly rounded digits unless its fraction lies within this band around 1/2.
constexpr double kFastLimit = 1e9;
constexpr double kTieBand = 1e-6;

char* WriteUnsigned(char* out, uint64_t value, int minDigits)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (auto n = end - digits; n < minDigits; ++n)
        *out++ = '0';
    return std::copy(digits, end, out);
}

} // namespace

char* WriteFixed(char* out, double value, int decimals)
{
    decimals = std::clamp(decimals, 0, MaxDecimals);
    const double scaled = std::fabs(value) * kScales[size_t(decimals)];
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (!(scaled < kFastLimit) || std::fabs(fraction - 0.5) <= kTieBand)
        return std::to_chars(out, out + MaxFixedLength, value, std::chars_format::fixed, decimals)
            .ptr;
    const uint64_t digits = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    if (std::signbit(value))
        *out++ = '-';
    const uint64_t power = kPowers[size_t(decimals)];
    out = WriteUnsigned(out, digits / power, 1);
    if (decimals > 0) {
        *out++ = '.';
        out = WriteUnsigned(out, digits % power, decimals);
    }
    return out;
}

void AppendFixed(QByteArray& out, double value, int decimals)
{
    char text[MaxFixedLength];
    out.append(text, WriteFixed(text, value, decimals) - text);
}

QString FixedText(double value, int decimals)
{
    QByteArray text;
    AppendFixed(text, value, decimals);
    return QString::fromLatin1(text);
}

double ParseFixed(const char* begin, const char* end)
{
    double value = 0.0;
    ReadFixed(begin, end, value);
    return value;
}

namespace {

// ReadFixed over [begin, end), or with kField over the bytes up to the first comma or line end:
// where the text ends, and in `fixed` whether it is a fixed-point number.
template <bool kField>
const char* Gather(const char* begin, const char* end, double& value, bool& fixed)
{
    // Digits are gathered as an integer while it stays exact in a double (15 digits), which
    // gives the same value as gathering them in a double, only sooner; longer numbers go on
    // in the double as before. The divisor is 10 to the digits after the last point.
    bool negative = false;
    int decimals = -1; // none seen: no point yet
    int digits = 0;
    uint64_t whole = 0;
    double n = 0.0;
    const char* p = begin;
    for (; p != end; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            if (digits < 15)
                whole = whole * 10 + uint64_t(c - '0');
            else
                n = (digits == 15 ? double(whole) : n) * 10.0 + (c - '0');
            ++digits;
            if (decimals >= 0)
                ++decimals;
        } else if (c == '.') {
            decimals = 0;
        } else if (c == '-') {
            negative = true;
        } else if (kField && (c == ',' || c == '\n' || c == '\r')) {
            break;
        } else {
            value = 0.0;
            fixed = false;
            while (kField && p != end && *p != ',' && *p != '\n' && *p != '\r')
                ++p;
            return kField ? p : end;
        }
    }
    if (digits <= 15)
        n = double(whole);
    double divisor = 1.0;
    for (int k = 0; k < decimals; ++k)
        divisor *= 10.0;
    const double result = n / divisor;
    value = negative ? -result : result;
    fixed = true;
    return p;
}

} // namespace

bool ReadFixed(const char* begin, const char* end, double& value)
{
    bool fixed = false;
    Gather<false>(begin, end, value, fixed);
    return fixed;
}

const char* ReadField(const char* begin, const char* end, double& value, bool& fixed)
{
    return Gather<true>(begin, end, value, fixed);
}

} // namespace fixedtext
