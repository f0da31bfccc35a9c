#include "statuspanels.h"

#include "commsengine.h"
#include "identitypanel.h"
#include "terminalrender.h"

#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>

namespace {

constexpr int kIndent = 3; // pixels between the frame and the text, on either side

// A label whose size never follows its text: a new text then asks no new layout of the
// bar, only a repaint of the label. Plain text: what crosses the link is never markup.
void FixSize(QLabel& panel, int width)
{
    panel.setTextFormat(Qt::PlainText);
    panel.setFrameShape(QFrame::Panel);
    panel.setFrameShadow(QFrame::Sunken);
    panel.setIndent(kIndent);
    panel.setFixedSize(width, panel.fontMetrics().height() + 2 * panel.frameWidth());
}

// Cut by the glyphs' own advances: far cheaper than laying the text out, which the poll's
// traffic would otherwise cost ten times a second. What crosses the link is plain ASCII.
void ShowText(QLabel& panel, const QString& text)
{
    static const QChar kEllipsis(0x2026);
    const QString printable = terminalrender::Printable(text);
    const QFontMetrics metrics = panel.fontMetrics();
    const int room = panel.contentsRect().width() - 2 * kIndent;
    const int roomWithEllipsis = room - metrics.horizontalAdvance(kEllipsis);
    int width = 0;
    qsizetype cut = -1; // characters that fit with the ellipsis after them
    for (qsizetype i = 0; i < printable.size(); ++i) {
        width += metrics.horizontalAdvance(printable.at(i));
        if (cut < 0 && width > roomWithEllipsis)
            cut = i;
        if (width > room) {
            panel.setText(printable.left(cut) + kEllipsis);
            return;
        }
    }
    panel.setText(printable);
}

} // namespace

TStatusPanels::TStatusPanels(QStatusBar& bar)
    : QObject(&bar), m_bar(bar), m_sent(new QLabel(&bar)), m_received(new QLabel(&bar)),
      m_identity(new TIdentityPanel(&bar)), m_job(new QLabel(&bar)),
      m_cancel(new QToolButton(&bar)),
      m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), bar.window())),
      m_fileTrouble(new QLabel(&bar)),
      m_showSent(kTrafficShowMs, [this] { ShowText(*m_sent, m_newSent); }),
      m_showReceived(kTrafficShowMs, [this] { ShowText(*m_received, m_newReceived); })
{
    m_sent->setObjectName(QStringLiteral("SentPanel"));
    m_received->setObjectName(QStringLiteral("ReceivedPanel"));
    m_identity->setObjectName(QStringLiteral("IdentityPanel"));
    m_fileTrouble->setObjectName(QStringLiteral("FileTroublePanel"));
    m_fileTrouble->setTextFormat(Qt::PlainText);
    m_fileTrouble->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
    // Cut where the bar ends (the whole text is its tool tip): it never pushes the job out.
    m_fileTrouble->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_fileTrouble->hide();
    FixSize(*m_sent, kSentWidth);
    FixSize(*m_received, kReceivedWidth);
    bar.addWidget(m_sent);
    bar.addWidget(m_received);
    bar.addWidget(m_identity, 1);
    bar.addWidget(m_fileTrouble, 2);
    m_job->setObjectName(QStringLiteral("JobPanel"));
    m_job->setTextFormat(Qt::PlainText);
    m_cancel->setObjectName(QStringLiteral("BtnCancelJob"));
    m_cancel->setText(QStringLiteral("Cancel"));
    m_cancel->setToolTip(QStringLiteral("End the operation that holds the instrument link (Esc)"));
    bar.addPermanentWidget(m_job);
    bar.addPermanentWidget(m_cancel);
    connect(m_cancel, &QToolButton::clicked, this, &TStatusPanels::CancelJob);
    connect(m_escape, &QShortcut::activated, this, &TStatusPanels::CancelJob);
    SetJob({});
    bar.setSizeGripEnabled(true);
}

void TStatusPanels::Follow(const TCommsEngine& engine)
{
    connect(&engine, &TCommsEngine::Sent, m_sent, [this](const QString& text) {
        m_newSent = text;
        m_showSent.Request();
    });
    connect(&engine, &TCommsEngine::Received, m_received, [this](const QString& text) {
        m_newReceived = text;
        m_showReceived.Request();
    });
}

void TStatusPanels::SetIdentity(const QString& text)
{
    m_identity->SetText(text);
    m_bar.update();
}

void TStatusPanels::SetFileTrouble(const QString& text)
{
    m_fileTrouble->setText(text);
    m_fileTrouble->setToolTip(text);
    m_fileTrouble->setVisible(!text.isEmpty());
}

void TStatusPanels::SetWarning(bool on)
{
    m_identity->SetWarning(on);
}

void TStatusPanels::SetJob(const QString& progress)
{
    const bool running = !progress.isEmpty();
    m_job->setText(running ? progress + QStringLiteral(" - other commands wait until it ends")
                           : QString());
    m_job->setVisible(running);
    m_cancel->setVisible(running);
    m_escape->setEnabled(running);
}
