#include "menunode.h"

#include "tools.h"

int TNodeData::Type() const
{
    return static_cast<int>(tools::HexToInt(TypeCode));
}

TMenuNode* TMenuNode::AddChild(const QString& caption)
{
    auto child = std::make_unique<TMenuNode>();
    child->Caption = caption;
    child->m_parent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}
