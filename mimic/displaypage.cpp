#include "displaypage.h"

#include "instrumentlink.h"
#include "keysender.h"
#include "mimicfeed.h"
#include "mimickeys.h"
#include "q910lcd.h"
#include "resizerule.h"
#include "ui_displaypage.h"

#include <QApplication>

TDisplayPage::TDisplayPage(const QString& picture, const QString& programDir, TInstrumentLink& link,
                           ErrorHandler onError, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TDisplayPage>()),
      m_sender(std::make_unique<TKeySender>(link, this))
{
    ui->setupUi(this);
    m_mimic = new TQ910LCD(picture, ui->PnlFront);
    m_mimic->setObjectName(QStringLiteral("DisplayMimic"));
    m_mimic->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_mimic->LCD.Directory = programDir; // segment pictures and the map cache
    m_mimic->SetErrorHandler(std::move(onError));
    ui->PnlFront->installEventFilter(this);
    m_keys =
        std::make_unique<TMimicKeys>([this](const QString& data) { return m_sender->Send(data); },
                                     [] { QApplication::beep(); }, this);
    m_mimic->SetKeyHandlers(*m_keys);
    m_feed = std::make_unique<TMimicFeed>(*m_mimic, IActivity::Display, link.Engine());
}

TDisplayPage::~TDisplayPage()
{
    // The mimic refers to the key helper: it goes first.
    ui->PnlFront->removeEventFilter(this);
    delete m_mimic;
}

IActivity* TDisplayPage::Activity()
{
    return m_feed.get();
}

void TDisplayPage::LinkChanged(const TLinkState& state)
{
    m_feed->LinkChanged(state);
}

bool TDisplayPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->PnlFront && event->type() == QEvent::Resize)
        m_mimic->setGeometry(resizerule::FitPanel(ui->PnlFront->size()));
    return QWidget::eventFilter(watched, event);
}
