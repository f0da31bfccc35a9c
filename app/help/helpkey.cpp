#include "helpkey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

THelpKey::THelpKey(Handler onHelp, QObject* parent) : QObject(parent), m_onHelp(std::move(onHelp))
{
    // An application shortcut would not fire while a modal dialog is up; the application's
    // own event filter sees the key whichever window has it.
    qApp->installEventFilter(this);
}

THelpKey::~THelpKey()
{
    qApp->removeEventFilter(this);
}

bool THelpKey::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* target = qobject_cast<QWidget*>(watched);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !target)
        return false;
    // Claimed as the shortcut check runs, so the menu's F1 (the contents) does not fire, and
    // handled when the key itself comes.
    key->accept();
    if (type == QEvent::KeyPress && !key->isAutoRepeat())
        m_onHelp(target);
    return true;
}
