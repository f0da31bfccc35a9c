#include "settingstree.h"

#include "instrumentlink.h"
#include "protocol.h"
#include "sessioncontroller.h"

using namespace protocol;

namespace {

// Expand All or Refresh: the reader stepped by the link, its progress in menus.
class TMenuReadJob : public ILinkJob
{
public:
    TMenuReadJob(TDevice& device, TMenuNode& start, TMenuReader::TScope scope,
                 TMenuReader::TViewHooks hooks, std::function<void(TJobEnd)> done)
        : m_reader(device, start, scope, std::move(hooks)), m_scope(scope), m_done(std::move(done))
    {
    }

    TJobKind Kind() const override
    {
        return m_scope == TMenuReader::TScope::Below ? TJobKind::ExpandAll : TJobKind::Refresh;
    }
    QString Progress() const override
    {
        return QStringLiteral("%1: %2 of %3 menus")
            .arg(m_scope == TMenuReader::TScope::Below ? QStringLiteral("Expand All")
                                                       : QStringLiteral("Refresh"))
            .arg(m_reader.MenusRead())
            .arg(m_reader.MenusFound());
    }
    TStep Step() override { return m_reader.Step() ? TStep::More : TStep::Done; }
    void Ended(TJobEnd end) override
    {
        if (m_done)
            m_done(end);
    }

private:
    TMenuReader m_reader;
    TMenuReader::TScope m_scope;
    std::function<void(TJobEnd)> m_done;
};

bool IsNumberItem(const TMenuNode& node)
{
    return node.Data && node.Data->Valid && item::IsNumber(node.Data->Type());
}

} // namespace

TSettingsTree::TSettingsTree(TInstrumentLink& link, TSessionController& session, QObject* parent)
    : QObject(parent), m_link(link), m_device(link.Device()), m_session(session)
{
    // Nodes about to go take their marks along.
    const auto forget = [this] { MarkCompared({}); };
    connect(this, &TSettingsTree::Reset, this, forget);
    connect(this, &TSettingsTree::ChildrenClearing, this, forget);
}

void TSettingsTree::MarkCompared(QHash<const TMenuNode*, QString> fileValues)
{
    if (m_compared.isEmpty() && fileValues.isEmpty())
        return;
    m_compared = std::move(fileValues);
    emit ComparedChanged();
}

std::optional<QString> TSettingsTree::ComparedValue(const TMenuNode* node) const
{
    const auto found = m_compared.constFind(node);
    return found == m_compared.constEnd() ? std::nullopt : std::optional<QString>(*found);
}

TMenuNode* TSettingsTree::Top() const
{
    return m_root.Children().empty() ? nullptr : m_root.Children().front().get();
}

void TSettingsTree::Build(bool full)
{
    m_changed.clear();
    m_device.BuildMenuTree(m_root, reg::MenuRoot,
                           full ? QStringLiteral("FULL SETUP") : QStringLiteral("SAFE SETUP"));
    emit Reset();
}

void TSettingsTree::Clear()
{
    m_changed.clear();
    m_root.Clear();
    emit Reset();
}

TMenuReader::TViewHooks TSettingsTree::Hooks()
{
    return {[this](TMenuNode& menu) { emit ChildrenClearing(&menu); },
            [this](TMenuNode& menu) { emit ChildrenRead(&menu); }};
}

void TSettingsTree::ReadMenu(TMenuNode& menu)
{
    TMenuReader reader(m_device, menu, TMenuReader::TScope::OneAgain, Hooks());
    while (reader.Step()) {
    }
}

bool TSettingsTree::StartRead(TMenuNode& menu, TMenuReader::TScope scope,
                              std::function<void(TJobEnd)> done)
{
    return m_link.StartJob(
        std::make_unique<TMenuReadJob>(m_device, menu, scope, Hooks(), std::move(done)));
}

bool TSettingsTree::IsChanged(const TMenuNode& node) const
{
    return node.Data && m_changed.contains(node.Data->Register);
}

TJobEnd TSettingsTree::RunRead(TMenuNode& menu, TMenuReader::TScope scope)
{
    return m_link.RunJob(std::make_unique<TMenuReadJob>(m_device, menu, scope, Hooks(), nullptr));
}

TMenuNode* TSettingsTree::WriteSetting(TMenuNode& node, const QString& raw)
{
    m_device.SetCurrentRegister(node.Data->Register);
    m_device.WriteValue(raw);
    if (m_device.ReadValue() && m_device.ReplyText() != node.Data->RawValue) {
        node.Data->RawValue = m_device.ReplyText();
        m_changed.insert(node.Data->Register);
    }
    m_session.StoreSettings(true);
    m_session.PromptPasscode(m_device.FullAccess);
    TMenuNode* written = &node;
    if (node.Data->Access & 0x80) {
        m_device.SetCurrentRegister(node.Data->Register);
        if (m_device.ReadDisplayText()) {
            node.Data->DisplayText = m_device.ReplyText();
            node.Caption = TDevice::NodeCaption(*node.Data);
            emit NodeChanged(&node);
        }
    } else {
        written = RereadParentOf(node);
    }
    RefreshOnReferenceChange();
    return written;
}

// An item without access letters may have changed its menu: the menu is read again; the node
// of the register just written is handed back (the menu's when it is gone).
TMenuNode* TSettingsTree::RereadParentOf(TMenuNode& node)
{
    TMenuNode* parent = node.Parent();
    if (!parent || parent == &m_root)
        return &node;
    const QString written = node.Data->Register;
    emit ChildrenClearing(parent);
    parent->Clear();
    m_device.ReadMenuChildren(*parent);
    emit ChildrenRead(parent);
    for (const auto& child : parent->Children())
        if (child->Data && child->Data->Register == written)
            return child.get();
    return parent;
}

void TSettingsTree::RefreshOnReferenceChange()
{
    m_device.SetCurrentRegister(reg::ReferenceWeight);
    if (!m_device.ReadDisplayText() || m_device.ReplyText() == m_referenceText)
        return;
    m_referenceText = m_device.ReplyText();
    if (TMenuNode* top = Top())
        RefreshNumbers(*top);
}

void TSettingsTree::RefreshNumbers(TMenuNode& node)
{
    RefreshCaption(node);
    for (const auto& child : node.Children())
        RefreshNumbers(*child);
}

void TSettingsTree::RefreshCaption(TMenuNode& node)
{
    if (!IsNumberItem(node))
        return;
    const TMenuNode* parent = node.Parent();
    if (parent && parent->Data) {
        m_device.SetCurrentRegister(parent->Data->Register);
        m_device.ReadItemHeader();
    }
    m_device.SetCurrentRegister(node.Data->Register);
    m_device.ReadItemHeader();
    if (m_device.ReadValue())
        node.Data->RawValue = m_device.ReplyText();
    if (m_device.ReadDisplayText()) {
        node.Data->DisplayText = m_device.ReplyText();
        node.Caption = TDevice::NodeCaption(*node.Data);
        emit NodeChanged(&node);
    }
}
