#include "mimickeys.h"
#include "mimiclog.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

constexpr int kFirstKeyIndex = 1;
constexpr int kLastKeyIndex = 5;

bool HasCursor()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

TMimicKeys::TMimicKeys(SendKey sendKey, Beep beep, QObject* parent)
    : QObject(parent), m_sendKey(std::move(sendKey)), m_beep(std::move(beep))
{
    m_tmrButton.setInterval(kHoldMs);
    // A coarse timer may fire early; the cue must not come before the press counts as held.
    m_tmrButton.setTimerType(Qt::PreciseTimer);
    connect(&m_tmrButton, &QTimer::timeout, this, &TMimicKeys::tmrButtonTimer);
}

TMimicKeys::~TMimicKeys()
{
    RestoreCursor();
}

QString TMimicKeys::KeyMessageData(int index, int durationMs)
{
    if (index < kFirstKeyIndex || index > kLastKeyIndex)
        return {};
    const char* format = durationMs < kHoldMs ? "800%1" : "808%1";
    return QString::fromLatin1(format).arg(index + 1);
}

void TMimicKeys::ButtonDown(int)
{
    m_tmrButton.start();
}

void TMimicKeys::ButtonUp(int)
{
    m_tmrButton.stop();
    RestoreCursor();
}

bool TMimicKeys::ButtonPress(int index, int durationMs)
{
    const QString data = KeyMessageData(index, durationMs);
    if (data.isEmpty() || !m_sendKey)
        return false;
    qCDebug(lcMimic) << "key" << index << durationMs << "ms sends" << data;
    return m_sendKey(data);
}

void TMimicKeys::tmrButtonTimer()
{
    if (!m_dragCursor && HasCursor()) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::DragMoveCursor));
        m_dragCursor = true;
    }
    if (m_beep)
        m_beep();
}

void TMimicKeys::RestoreCursor()
{
    if (!m_dragCursor)
        return;
    QGuiApplication::restoreOverrideCursor();
    m_dragCursor = false;
}
