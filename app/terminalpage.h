#pragma once

#include "activity.h"
#include "page.h"
#include "ratelimiter.h"
#include "terminalhistory.h"
#include "trafficrecord.h"

#include <QWidget>

#include <memory>

class IUserPrompts;
class TCommsEngine;
namespace Ui {
class TTerminalPage;
}

// The Test tab: a raw terminal onto the link. Sends what the user types, Up and Down bringing
// back what was sent, and shows every character that crosses the link while it is in front or
// a request waits, as text or as hexadecimal bytes, each line with the time of day on
// request; error replies to typed requests are reported. Everything that crossed the link
// since the first connection can be saved. Nothing is polled while it is in front, not even
// the session keep-alive.
class TTerminalPage : public QWidget, public IPage, public IActivity
{
    Q_OBJECT
public:
    static constexpr int kLines = 500;
    // A line without line end is broken here, so its cost stays bounded.
    static constexpr int kLongestLine = 1000;
    // What arrives is shown at most this often: a line streamed every few milliseconds must
    // not cost a repaint of the view each.
    static constexpr int kShowMs = 50;
    static constexpr const char* kSendRefused = "Send is not available during a setup session";

    TTerminalPage(TCommsEngine& engine, IUserPrompts& prompts, QWidget* parent = nullptr);
    ~TTerminalPage() override;

    QWidget* Widget() override { return this; }
    const char* Caption() const override { return "Test"; }
    IActivity* Activity() override { return this; }
    bool ShownIn(const TLinkState& state) const override { return state.connected; }
    void Entered() override;
    void Left() override { m_inFront = false; }
    void LinkChanged(const TLinkState& state) override;

    int ActivityCode() const override { return IActivity::Test; }
    bool HoldsKeepAlive() const override { return true; }
    void MessageReceived(const Tcommsobj& message, bool requestWaiting) override;

    void EchoTraffic(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // Text went to the instrument by the Send button: its settings may differ from the
    // stored ones until the next store.
    void TerminalUsed();

private:
    void BtnSendClick();
    void EdtSendStrKeyPress();
    void SendLine();
    void AppendBounded(const QString& rendered);
    void ShowPending();
    void ClearView();
    void BtnSaveTrafficClick();

    std::unique_ptr<Ui::TTerminalPage> ui;
    TCommsEngine& m_engine;
    IUserPrompts& m_prompts;
    TTrafficRecord m_record;
    TTerminalHistory m_history;
    QString m_pending; // not shown yet
    TRateLimiter m_show{kShowMs, [this] { ShowPending(); }};
    bool m_inFront = false;
    bool m_connected = false;
    bool m_lossNoted = false; // the record says the link was lost
    int m_lineLength = 0;     // characters of the last, unfinished line, pending included
};
