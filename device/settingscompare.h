#pragma once

#include "menunode.h"

#include <QString>
#include <QStringList>

#include <vector>

// One setting that differs between two settings trees, or that only one of them holds.
struct TSettingDifference
{
    enum class TKind
    {
        Changed,
        OnlyFirst,
        OnlySecond
    };

    TKind kind = TKind::Changed;
    // The menus below the top node, then the setting's name.
    QStringList path;
    // The values as the trees show them; empty on the side without the setting.
    QString first;
    QString second;
    // The nodes compared; none on the side without the setting, and none for the calibration.
    const TMenuNode* firstNode = nullptr;
    const TMenuNode* secondNode = nullptr;

    // "BUILD > CAP", as the difference is named.
    [[nodiscard]] QString Setting() const { return path.join(QStringLiteral(" > ")); }
};

// One side of a comparison: a settings tree (the holder whose first child is the top node,
// as a session or a settings file gives it) and its calibration block.
struct TSettingsSide
{
    const TMenuNode& tree;
    QString calibration;
};

// Settings compared as the tree shows them: each setting found by its menu path and name,
// its value taken from its caption, or from the value the instrument gave (or the file would
// send) where both sides have one, since a long caption is cut short.
namespace settingscompare {

// The name the calibration block is compared under.
inline const QString kCalibration = QStringLiteral("Calibration");

// The differences in the first tree's order, then the settings only the second holds in its
// order; the calibration last, and only when `calibration`.
[[nodiscard]] std::vector<TSettingDifference>
Compare(const TSettingsSide& first, const TSettingsSide& second, bool calibration);

// One line for a person: "BUILD > CAP: 3000 -> 6000", "BUILD > CAP: only in NAME (3000)".
[[nodiscard]] QString Line(const TSettingDifference& difference, const QString& firstName,
                           const QString& secondName);

} // namespace settingscompare
