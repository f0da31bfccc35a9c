#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

// Turns SIGINT and SIGTERM into a Qt signal through a self-pipe, so that the program ends
// from its event loop and cleans up (the device link) instead of dying where it stands.
class TSignalExit : public QObject
{
    Q_OBJECT

public:
    explicit TSignalExit(QObject* parent = nullptr);
    ~TSignalExit() override;

    [[nodiscard]] bool IsWatching() const { return m_notifier != nullptr; }

signals:
    void Received(int signalNumber);

private:
    void Drain();

    std::unique_ptr<QSocketNotifier> m_notifier;
};
