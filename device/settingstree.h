#pragma once

#include "linkjob.h"
#include "menunode.h"
#include "menureader.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class TDevice;
class TInstrumentLink;
class TSessionController;

// The settings tree of a setup session: the instrument's own menu tree as read from it, kept
// as plain nodes. Reads a menu when the user opens it, or every menu below one as a job
// (Expand All, Refresh), writes an edited setting and reads back what it changed. The
// Settings tab only shows it; q900ctl reads and saves it the same way.
class TSettingsTree : public QObject
{
    Q_OBJECT
public:
    TSettingsTree(TInstrumentLink& link, TSessionController& session, QObject* parent = nullptr);

    // The tree as read: the holder, whose first child is the top node ("FULL SETUP").
    [[nodiscard]] const TMenuNode& Root() const { return m_root; }
    [[nodiscard]] TMenuNode* Top() const;

    // The top menu's items, its own menus left unread.
    void Build(bool full);
    void Clear();
    // Reads the items of a menu not read yet (the user opened it).
    void ReadMenu(TMenuNode& menu);
    // Reads, as a job, every unread menu from `menu` down (Expand All) or `menu` itself again
    // (Refresh); `done` hears how it ended. False when another job holds the link.
    bool StartRead(TMenuNode& menu, TMenuReader::TScope scope,
                   std::function<void(TJobEnd)> done = {});
    // The same, run to its end (the command-line tool).
    TJobEnd RunRead(TMenuNode& menu, TMenuReader::TScope scope);
    // Writes an edited value, has the instrument store it with the session kept open, and
    // reads back what it changed; the node that holds the written register afterwards (its
    // menu may have been read again).
    TMenuNode* WriteSetting(TMenuNode& node, const QString& raw);
    // The setting was changed by a write of this session.
    [[nodiscard]] bool IsChanged(const TMenuNode& node) const;

    // Marks the nodes that differ from a settings file with the file's value for them; the
    // marks go when nodes go (the tree or a menu read again, as after most writes).
    void MarkCompared(QHash<const TMenuNode*, QString> fileValues);
    // The file's value for a marked node; nothing for a node that is not marked.
    [[nodiscard]] std::optional<QString> ComparedValue(const TMenuNode* node) const;
    [[nodiscard]] bool HasCompared() const { return !m_compared.isEmpty(); }

signals:
    // The whole tree was built or cleared.
    void Reset();
    // A menu's children are about to go, and once they are read again.
    void ChildrenClearing(TMenuNode* menu);
    void ChildrenRead(TMenuNode* menu);
    // A node's caption changed.
    void NodeChanged(TMenuNode* node);
    // The marks of a comparison with a file came or went.
    void ComparedChanged();

private:
    TMenuReader::TViewHooks Hooks();
    TMenuNode* RereadParentOf(TMenuNode& node);
    void RefreshOnReferenceChange();
    void RefreshNumbers(TMenuNode& node);
    void RefreshCaption(TMenuNode& node);

    TInstrumentLink& m_link;
    TDevice& m_device;
    TSessionController& m_session;
    TMenuNode m_root;
    // The last display text of the reference weight: when a write changes it, every number
    // the instrument scales by it is read again.
    QString m_referenceText;
    QHash<const TMenuNode*, QString> m_compared;
    QSet<QString> m_changed; // registers this session's writes changed
};
