#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// What the program knows of one item of the instrument's menu tree.
struct TNodeData
{
    QString Name;
    QString Register; // 4 hexadecimal digits
    QString TypeCode; // 2 hexadecimal digits
    QString DisplayText;
    QString RawValue;
    uint8_t Valid = 1;
    uint8_t HasValue = 0;
    uint8_t Access = 0; // bits 0-1 read level, 2-3 write level, 7 letters read

    [[nodiscard]] int ReadLevel() const { return Access & 0x03; }
    [[nodiscard]] int WriteLevel() const { return (Access >> 2) & 0x03; }
    [[nodiscard]] int Type() const;
};

// One node of the settings tree: a caption, its item's data (none for a "..." placeholder
// that makes a menu expandable) and its children. A plain model the Settings tab shows.
class TMenuNode
{
public:
    QString Caption;
    std::unique_ptr<TNodeData> Data;

    TMenuNode* AddChild(const QString& caption);
    void Clear() { m_children.clear(); }
    [[nodiscard]] const std::vector<std::unique_ptr<TMenuNode>>& Children() const
    {
        return m_children;
    }
    [[nodiscard]] TMenuNode* Parent() const { return m_parent; }
    [[nodiscard]] bool IsPlaceholder() const { return !Data && Caption == u"..."; }

private:
    TMenuNode* m_parent = nullptr;
    std::vector<std::unique_ptr<TMenuNode>> m_children;
};
