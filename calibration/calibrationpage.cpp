#include "calibrationpage.h"

#include "mimicfeed.h"
#include "q910lcd.h"
#include "ui_calibrationpage.h"

#include <QVBoxLayout>

#include <algorithm>

TCalibrationPage::TCalibrationPage(const QString& picture, const QString& programDir,
                                   TCommsEngine& engine, ErrorHandler onError, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TCalibrationPage>())
{
    ui->setupUi(this);
    m_mimic = new TQ910LCD(picture, ui->PnlMimicCal);
    m_mimic->setObjectName(QStringLiteral("CalibrationMimic"));
    m_mimic->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_mimic->LCD.Directory = programDir;
    m_mimic->SetErrorHandler(std::move(onError));
    auto* layout = new QVBoxLayout(ui->PnlMimicCal);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_mimic);
    m_feed = std::make_unique<TMimicFeed>(*m_mimic, IActivity::Calibration, engine);
}

TCalibrationPage::~TCalibrationPage() = default;

QRect TCalibrationPage::FitMimic(int tabWidth, int tabHeight, int controlsHeight, int mimicTop)
{
    const int height = std::max(0, tabHeight - controlsHeight - 2 * mimicTop);
    const int width = height * 1000 / 491;
    return {(tabWidth - width) / 2, mimicTop, width, height};
}

void TCalibrationPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ui->PnlCal->setGeometry(0, 0, width(), ui->PnlCal->height());
    ui->PnlMimicCal->setGeometry(
        FitMimic(width(), height(), ui->PnlCal->height(), ui->PnlMimicCal->y()));
}

IActivity* TCalibrationPage::Activity()
{
    return m_feed.get();
}

void TCalibrationPage::LinkChanged(const TLinkState& state)
{
    m_feed->LinkChanged(state);
}
