#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// The main window's side of the Display tab mimic's keys: the hold timer with its beep and
// drag cursor, and the key message written to register 0x0008. Wire a mimic to it with
// TZelMimic::SetKeyHandlers(keys); the Calibration tab mimic is left without handlers.
class TMimicKeys : public QObject
{
    Q_OBJECT

public:
    // Writes the key data to the instrument's key register, waiting and reporting errors;
    // false when it failed.
    using SendKey = std::function<bool(const QString& data)>;
    using Beep = std::function<void()>;

    static constexpr int kHoldMs = 2000;

    TMimicKeys(SendKey sendKey, Beep beep, QObject* parent = nullptr);
    ~TMimicKeys() override;

    // "800%d" for a press shorter than kHoldMs, "808%d" for a longer one, %d = index + 1;
    // empty for index 0 (the small key sends nothing) and for indices outside 1..5.
    [[nodiscard]] static QString KeyMessageData(int index, int durationMs);

    // OnButtonDown: starts the hold timer.
    void ButtonDown(int index);
    // OnButtonUp: stops the hold timer and gives back the normal cursor.
    void ButtonUp(int index);
    // OnButtonPress: sends the key message; false when there was none to send or the
    // instrument did not take it (the sender has reported that already).
    bool ButtonPress(int index, int durationMs);

    // The hold timer (interval kHoldMs, single shots off, stopped at start).
    [[nodiscard]] QTimer& tmrButton() { return m_tmrButton; }
    // Each kHoldMs of holding: the drag cursor and a beep.
    void tmrButtonTimer();
    [[nodiscard]] bool DragCursorShown() const { return m_dragCursor; }

private:
    void RestoreCursor();

    SendKey m_sendKey;
    Beep m_beep;
    QTimer m_tmrButton;
    bool m_dragCursor = false;
};
