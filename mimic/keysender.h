#pragma once

#include <QObject>
#include <QString>

#include <deque>

class TInstrumentLink;

// Writes the mimic's key presses to the instrument. A key pressed while another request is
// under way (a held key's timer firing during a read) waits for the link instead of being
// lost, and is sent as soon as the link is free, in the order pressed.
class TKeySender : public QObject
{
    Q_OBJECT
public:
    explicit TKeySender(TInstrumentLink& link, QObject* parent = nullptr);

    // Sends the key data; false only when the instrument refused or did not answer it.
    bool Send(const QString& data);

private:
    void Queue(const QString& data);
    void SendPending();

    TInstrumentLink& m_link;
    std::deque<QString> m_pending;
    QMetaObject::Connection m_listening;
};
