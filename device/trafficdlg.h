#pragma once

#include "activity.h"

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include <memory>

class IUserPrompts;
class TCommsEngine;
namespace Ui {
class TFrmTraffic;
}

// Sends a batch of settings requests one at a time while it is shown: each waits up to 2 s
// for its reply and is sent again, four transmissions in all; an error reply is reported and
// the batch goes on. Received messages reach it as the engine's activity while it is shown.
class TFrmTraffic : public QDialog, public IActivity
{
    Q_OBJECT
public:
    static constexpr int kTickMs = 20;
    static constexpr int kResendTicks = 100; // 2 s
    static constexpr int kMaxTries = 3;

    TFrmTraffic(TCommsEngine& engine, IUserPrompts& prompts, QWidget* parent = nullptr);
    ~TFrmTraffic() override;

    void SetRequests(const QStringList& requests);

    int ActivityCode() const override { return IActivity::Transfer; }
    void MessageReceived(const Tcommsobj& message, bool requestWaiting) override;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Timer1Timer();
    void HandleReply(const Tcommsobj& reply);
    void ShowProgress();
    void Abandon();

    std::unique_ptr<Ui::TFrmTraffic> ui;
    TCommsEngine& m_engine;
    IUserPrompts& m_prompts;
    QTimer m_timer1;
    QStringList m_requests;
    int m_current = 0;
    int m_sendDelay = 0;
    int m_tries = 0;
    bool m_awaitingReply = false;
    int m_awaitedRegister = -1;
};
