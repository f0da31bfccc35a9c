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
    : QObject(parent), sendKey_(std::move(sendKey)), beep_(std::move(beep))
{
    tmrButton_.setInterval(kHoldMs);
    connect(&tmrButton_, &QTimer::timeout, this, &TMimicKeys::tmrButtonTimer);
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
    tmrButton_.start();
}

void TMimicKeys::ButtonUp(int)
{
    tmrButton_.stop();
    RestoreCursor();
}

bool TMimicKeys::ButtonPress(int index, int durationMs)
{
    const QString data = KeyMessageData(index, durationMs);
    if (data.isEmpty() || !sendKey_)
        return false;
    qCDebug(lcMimic) << "key" << index << durationMs << "ms sends" << data;
    return sendKey_(data);
}

void TMimicKeys::tmrButtonTimer()
{
    if (!dragCursor_ && HasCursor()) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::DragMoveCursor));
        dragCursor_ = true;
    }
    if (beep_)
        beep_();
}

void TMimicKeys::RestoreCursor()
{
    if (!dragCursor_)
        return;
    QGuiApplication::restoreOverrideCursor();
    dragCursor_ = false;
}
