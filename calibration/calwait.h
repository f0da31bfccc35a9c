#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <memory>

class TStatusWait;
namespace Ui {
class TFrmCalWait;
}

// The small modal window in front while a calibration status wait runs: the time it has
// taken, what the instrument said last, and Cancel, which ends the wait. It only shows the
// wait; whoever runs the wait closes it.
class TFrmCalWait : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmCalWait(TStatusWait& wait, QWidget* parent = nullptr);
    ~TFrmCalWait() override;

    [[nodiscard]] static QString ElapsedText(qint64 ms);
    [[nodiscard]] static QString StateText(bool busy, int readingsLeft);

    // Escape and Cancel end the wait; the window stays until the wait has ended.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowElapsed();
    void ShowStatus(uint32_t status, bool busy, int readingsLeft);

    std::unique_ptr<Ui::TFrmCalWait> ui;
    TStatusWait& m_wait;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
