#include "labelformat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace labelformat {

namespace {

constexpr std::array<TLabelFormat, 7> kWeightFormats = {{
    {0, 3},
    {1, 3},
    {2, 3},
    {3, 4},
    {4, 5},
    {5, 6},
    {6, 7},
}};

// Adds one unit in the last place of a string of decimal digits; true when it carries out
// of the first digit.
bool Increment(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

} // namespace

QString FormatLabel(double value, int minDecimals, int maxDecimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    maxDecimals = std::max(maxDecimals, 0);
    minDecimals = std::clamp(minDecimals, 0, maxDecimals);
    // The shortest fixed text is at most about 330 characters for any finite double.
    char buffer[400];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed)
            .ptr;
    const std::string text(buffer, end);
    const size_t point = text.find('.');
    std::string whole = text.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    if (fraction.size() > size_t(maxDecimals)) {
        const bool up = fraction[size_t(maxDecimals)] >= '5';
        fraction.resize(size_t(maxDecimals));
        if (up && Increment(fraction) && Increment(whole))
            whole.insert(whole.begin(), '1');
    }
    while (fraction.size() > size_t(minDecimals) && fraction.back() == '0')
        fraction.pop_back();
    fraction.resize(std::max(fraction.size(), size_t(minDecimals)), '0');
    const bool zero =
        std::all_of(whole.begin(), whole.end(), [](char c) { return c == '0'; }) &&
        std::all_of(fraction.begin(), fraction.end(), [](char c) { return c == '0'; });
    std::string result = value < 0 && !zero ? "-" + whole : whole;
    if (!fraction.empty())
        result += '.' + fraction;
    return QString::fromLatin1(result.data(), qsizetype(result.size()));
}

QString FormatLabel(double value, const TLabelFormat& format)
{
    return FormatLabel(value, format.minDecimals, format.maxDecimals);
}

TLabelFormat LabelFormatFor(int decimals)
{
    return kWeightFormats[size_t(std::clamp(decimals, 0, int(kWeightFormats.size()) - 1))];
}

TLabelFormat TimeLabelFormat()
{
    return {0, 2};
}

} // namespace labelformat
