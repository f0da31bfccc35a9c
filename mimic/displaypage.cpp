#include "displaypage.h"

#include "instrumentlink.h"
#include "keysender.h"
#include "mimicfeed.h"
#include "mimickeys.h"
#include "q910lcd.h"
#include "resizerule.h"
#include "ui_displaypage.h"

#include <QApplication>
#include <QVBoxLayout>

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
    auto* layout = new QVBoxLayout(ui->PnlFront);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_mimic);
    m_keys =
        std::make_unique<TMimicKeys>([this](const QString& data) { return m_sender->Send(data); },
                                     [] { QApplication::beep(); }, this);
    m_mimic->SetKeyHandlers(*m_keys);
    m_feed = std::make_unique<TMimicFeed>(*m_mimic, IActivity::Display, link.Engine());
}

TDisplayPage::~TDisplayPage()
{
    // The mimic refers to the key helper: it goes first.
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

// The rule needs the tab's own height, which is final only once every layout has run, so
// it runs once the resize events have settled.
void TDisplayPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_fitPending)
        return;
    m_fitPending = true;
    QMetaObject::invokeMethod(this, &TDisplayPage::FitWindow, Qt::QueuedConnection);
}

void TDisplayPage::FitWindow()
{
    m_fitPending = false;
    QWidget* frame = window();
    const resizerule::TWindowFit fit =
        resizerule::FitDisplayTab(frame->width(), frame->height(), height());
    if (fit.width != frame->width() || fit.height != frame->height())
        frame->resize(fit.width, fit.height);
    ui->PnlFrontFill->setFixedHeight(fit.fillerHeight);
}
