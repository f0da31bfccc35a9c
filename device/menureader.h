#pragma once

#include <QStringList>

#include <functional>
#include <vector>

class TDevice;
class TMenuNode;

// Reads menus of the settings tree a little at a time: one menu's child list, or one child,
// per step. Expand All reads the menu it starts at (when still unread) and every menu below
// it, depth first as they are listed; Refresh reads the one menu again. The view hears of a
// menu before its children go and once they are all read.
class TMenuReader
{
public:
    enum class TScope
    {
        Below,   // the menu, if unread, and every unread menu below it
        OneAgain // the menu itself, read again
    };
    struct TViewHooks
    {
        std::function<void(TMenuNode& menu)> clearing; // its children are about to go
        std::function<void(TMenuNode& menu)> read;     // its children are read
    };

    TMenuReader(TDevice& device, TMenuNode& start, TScope scope, TViewHooks hooks);

    // One piece of the reading; false once everything is read.
    bool Step();
    [[nodiscard]] int MenusRead() const { return m_menusRead; }
    // Menus read or still to be read, as far as the reading has found them.
    [[nodiscard]] int MenusFound() const
    {
        return m_menusRead + static_cast<int>(m_pending.size()) + (m_menu ? 1 : 0);
    }

private:
    void Visit(TMenuNode& menu);
    void BeginMenu(TMenuNode& menu);
    void ReadNextChild();
    void EndMenu(bool unread);

    TDevice& m_device;
    TScope m_scope;
    TViewHooks m_hooks;
    std::vector<TMenuNode*> m_pending; // menus still to visit, the next one last
    TMenuNode* m_menu = nullptr;       // the menu whose children are being read
    QStringList m_children;
    int m_next = 0;
    int m_menusRead = 0;
};
