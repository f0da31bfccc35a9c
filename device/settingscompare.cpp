#include "settingscompare.h"

#include <QHash>

namespace settingscompare {

namespace {

const QString kSeparator = QStringLiteral(" : ");

// One setting of a tree as the comparison sees it.
struct TSetting
{
    QStringList path;
    QString shown;
    QString raw; // empty when the side has no value of its own for it
    const TMenuNode* node = nullptr;
};

QString NameOf(const QString& caption)
{
    const qsizetype colon = caption.indexOf(kSeparator);
    return (colon < 0 ? caption : caption.left(colon)).trimmed();
}

QString ShownOf(const QString& caption)
{
    const qsizetype colon = caption.indexOf(kSeparator);
    return colon < 0 ? QString() : caption.mid(colon + kSeparator.size()).trimmed();
}

// A menu never read holds a "..." (in a file's outline, after a blank).
bool IsUnread(const TMenuNode& node)
{
    return !node.Data && node.Children().empty() && node.Caption.trimmed() == u"...";
}

// Every setting below `menu`, depth first; menus never read hold none.
void Collect(const TMenuNode& menu, const QStringList& path, std::vector<TSetting>& settings)
{
    for (const auto& child : menu.Children()) {
        if (IsUnread(*child))
            continue;
        const QStringList own = path + QStringList{NameOf(child->Caption)};
        if (!child->Children().empty()) {
            Collect(*child, own, settings);
            continue;
        }
        const bool valued = child->Data && child->Data->HasValue && child->Data->Valid;
        settings.push_back({own, ShownOf(child->Caption),
                            valued ? child->Data->RawValue : QString(), child.get()});
    }
}

std::vector<TSetting> SettingsOf(const TMenuNode& tree)
{
    std::vector<TSetting> settings;
    if (!tree.Children().empty())
        Collect(*tree.Children().front(), {}, settings);
    return settings;
}

// The key a setting is found by; a name met twice in one menu is told apart by its count.
std::vector<QString> KeysOf(const std::vector<TSetting>& settings)
{
    QHash<QString, int> seen;
    std::vector<QString> keys;
    for (const TSetting& setting : settings) {
        const QString path = setting.path.join(QChar(0x1F));
        keys.push_back(path + QChar(0x1E) + QString::number(seen[path]++));
    }
    return keys;
}

bool Same(const TSetting& a, const TSetting& b)
{
    if (!a.raw.isEmpty() && !b.raw.isEmpty())
        return a.raw == b.raw;
    return a.shown == b.shown;
}

TSettingDifference Changed(const TSetting& a, const TSetting& b)
{
    // Captions cut short can look the same where the values differ.
    const bool cut = a.shown == b.shown;
    return {TSettingDifference::TKind::Changed,
            a.path,
            cut ? a.raw : a.shown,
            cut ? b.raw : b.shown,
            a.node,
            b.node};
}

void CompareCalibration(const TSettingsSide& first, const TSettingsSide& second,
                        std::vector<TSettingDifference>& differences)
{
    if (first.calibration == second.calibration)
        return;
    using TKind = TSettingDifference::TKind;
    const TKind kind = first.calibration.isEmpty()    ? TKind::OnlySecond
                       : second.calibration.isEmpty() ? TKind::OnlyFirst
                                                      : TKind::Changed;
    differences.push_back({kind, {kCalibration}, first.calibration, second.calibration});
}

} // namespace

std::vector<TSettingDifference> Compare(const TSettingsSide& first, const TSettingsSide& second,
                                        bool calibration)
{
    const std::vector<TSetting> a = SettingsOf(first.tree);
    const std::vector<TSetting> b = SettingsOf(second.tree);
    const std::vector<QString> aKeys = KeysOf(a);
    const std::vector<QString> bKeys = KeysOf(b);
    QHash<QString, size_t> inSecond;
    for (size_t i = 0; i < b.size(); ++i)
        inSecond.insert(bKeys[i], i);
    std::vector<TSettingDifference> differences;
    std::vector<bool> matched(b.size(), false);
    for (size_t i = 0; i < a.size(); ++i) {
        const auto found = inSecond.constFind(aKeys[i]);
        if (found == inSecond.constEnd()) {
            differences.push_back({TSettingDifference::TKind::OnlyFirst,
                                   a[i].path,
                                   a[i].shown,
                                   {},
                                   a[i].node,
                                   nullptr});
            continue;
        }
        matched[*found] = true;
        if (!Same(a[i], b[*found]))
            differences.push_back(Changed(a[i], b[*found]));
    }
    for (size_t i = 0; i < b.size(); ++i) {
        if (!matched[i])
            differences.push_back({TSettingDifference::TKind::OnlySecond,
                                   b[i].path,
                                   {},
                                   b[i].shown,
                                   nullptr,
                                   b[i].node});
    }
    if (calibration)
        CompareCalibration(first, second, differences);
    return differences;
}

QString Line(const TSettingDifference& difference, const QString& firstName,
             const QString& secondName)
{
    switch (difference.kind) {
    case TSettingDifference::TKind::OnlyFirst:
        return QStringLiteral("%1: only in %2 (%3)")
            .arg(difference.Setting(), firstName, difference.first);
    case TSettingDifference::TKind::OnlySecond:
        return QStringLiteral("%1: only in %2 (%3)")
            .arg(difference.Setting(), secondName, difference.second);
    default:
        return QStringLiteral("%1: %2 -> %3")
            .arg(difference.Setting(), difference.first, difference.second);
    }
}

} // namespace settingscompare
