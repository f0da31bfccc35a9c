#include "menureader.h"

#include "device.h"
#include "menunode.h"
#include "protocol.h"

using namespace protocol;

namespace {

bool IsMenu(const TMenuNode& node)
{
    return node.Data && node.Data->Type() == item::Menu;
}

bool Unread(const TMenuNode& node)
{
    return !node.Children().empty() && node.Children().front()->IsPlaceholder();
}

} // namespace

TMenuReader::TMenuReader(TDevice& device, TMenuNode& start, TScope scope, TViewHooks hooks)
    : m_device(device), m_scope(scope), m_hooks(std::move(hooks))
{
    if (IsMenu(start))
        m_pending.push_back(&start);
}

bool TMenuReader::Step()
{
    if (m_menu) {
        ReadNextChild();
        return true;
    }
    while (!m_pending.empty()) {
        TMenuNode* menu = m_pending.back();
        m_pending.pop_back();
        if (m_scope == TScope::OneAgain || Unread(*menu)) {
            BeginMenu(*menu);
            return true;
        }
        Visit(*menu); // read before: only its children are looked at, without a request
    }
    return false;
}

// The menus among a menu's children go next, first listed first.
void TMenuReader::Visit(TMenuNode& menu)
{
    if (m_scope != TScope::Below)
        return;
    const auto& children = menu.Children();
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        if (IsMenu(**child))
            m_pending.push_back(child->get());
}

void TMenuReader::BeginMenu(TMenuNode& menu)
{
    if (m_hooks.clearing)
        m_hooks.clearing(menu);
    menu.Clear();
    m_menu = &menu;
    m_next = 0;
    const std::optional<QStringList> children = m_device.ReadMenuList(menu);
    if (!children) {
        EndMenu(true);
        return;
    }
    m_children = *children;
    if (m_children.isEmpty())
        EndMenu(false);
}

void TMenuReader::ReadNextChild()
{
    const QString reg = m_children.at(m_next++);
    if (m_device.ReadChild(*m_menu, reg) == TDevice::TChildRead::Unanswered) {
        m_menu->Clear();
        EndMenu(true);
    } else if (m_next >= m_children.size()) {
        EndMenu(false);
    }
}

void TMenuReader::EndMenu(bool unread)
{
    TMenuNode& menu = *m_menu;
    m_menu = nullptr;
    m_children.clear();
    ++m_menusRead;
    if (unread)
        menu.AddChild(QStringLiteral("..."));
    else
        Visit(menu);
    if (m_hooks.read)
        m_hooks.read(menu);
}
