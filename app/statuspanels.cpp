#include "statuspanels.h"

#include "commsengine.h"
#include "identitypanel.h"
#include "terminalrender.h"

#include <QLabel>
#include <QStatusBar>

TStatusPanels::TStatusPanels(QStatusBar& bar)
    : QObject(&bar), m_bar(bar), m_sent(new QLabel(&bar)), m_received(new QLabel(&bar)),
      m_identity(new TIdentityPanel(&bar))
{
    m_sent->setObjectName(QStringLiteral("SentPanel"));
    m_received->setObjectName(QStringLiteral("ReceivedPanel"));
    m_identity->setObjectName(QStringLiteral("IdentityPanel"));
    m_sent->setFixedWidth(120);
    m_received->setFixedWidth(200);
    for (QLabel* panel : {m_sent, m_received}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
    }
    bar.addWidget(m_sent);
    bar.addWidget(m_received);
    bar.addWidget(m_identity, 1);
    bar.setSizeGripEnabled(true);
}

void TStatusPanels::Follow(const TCommsEngine& engine)
{
    connect(&engine, &TCommsEngine::Sent, m_sent,
            [this](const QString& text) { m_sent->setText(terminalrender::Printable(text)); });
    connect(&engine, &TCommsEngine::Received, m_received,
            [this](const QString& text) { m_received->setText(terminalrender::Printable(text)); });
}

void TStatusPanels::SetIdentity(const QString& text)
{
    m_identity->SetText(text);
    m_bar.update();
}

void TStatusPanels::SetWarning(bool on)
{
    m_identity->SetWarning(on);
}
