#include "factory.h"

#include "factoryrecord.h"
#include "logchart.h"
#include "userprompts.h"

#include "ui_factory.h"

namespace {

// The chart's traces, in the order SetUpChart adds them.
enum TTrace
{
    UpperLimits,
    LowerLimits,
    PointsA,
    PointsB
};

const QColor kLimits(0, 128, 255);
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
constexpr int kResultPixels = 16;

void AddPoints(TLogChart& chart, int trace, const std::vector<QPointF>& points)
{
    for (const QPointF& p : points)
        chart.AddPoint(trace, p.x(), p.y());
}

} // namespace

const QString TFrmFactory::kMenuRecord = QStringLiteral(
    "0005021003090046640A141E28323C46505A28320A141E28323C46505A000AFAF4FEF8F2FCF6F0FA");
const QString TFrmFactory::kMenuSerial = QStringLiteral("93123456");

TFrmFactory::TFrmFactory(IUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmFactory>()), m_prompts(prompts)
{
    ui->setupUi(this);
    QFont font = ui->LblZeroResult->font();
    font.setPixelSize(kResultPixels);
    ui->LblZeroResult->setFont(font);
    SetUpChart();
}

TFrmFactory::~TFrmFactory() = default;

void TFrmFactory::SetUpChart()
{
    TLogChart& chart = *ui->ChtTest;
    chart.AddTrace(TTraceStyle::Stairs, kLimits, TChartAxis::Left, QStringLiteral("Trade Limits"));
    // A blank name keeps the lower half of the envelope out of the legend.
    chart.AddTrace(TTraceStyle::Stairs, kLimits, TChartAxis::Left, QStringLiteral(" "));
    chart.AddTrace(TTraceStyle::Stars, kGreen, TChartAxis::Left, QStringLiteral("Data1"));
    chart.AddTrace(TTraceStyle::Crosses, kRed, TChartAxis::Left, QStringLiteral("Data2"));
    chart.SetGridVisible(false);
    chart.SetLabelStep(TChartAxis::Left, 1);
    chart.SetLabelFormat(TChartAxis::Left, {0, 3});
    chart.SetLegendVisible(true);
    chart.SetInteractive(false);
    chart.SetAutoScale(TChartAxis::Bottom, true);
}

bool TFrmFactory::ShowFactoryResults(const QString& record, const QString& serial)
{
    const factoryrecord::TFactoryChart result = factoryrecord::Decode(record, serial);
    TLogChart& chart = *ui->ChtTest;
    chart.ClearTraces();
    chart.SetAutoScale(TChartAxis::Left, true);
    AddPoints(chart, UpperLimits, result.upperLimits);
    AddPoints(chart, LowerLimits, result.lowerLimits);
    if (!result.message.isEmpty())
        m_prompts.Inform(result.message);
    if (result.Accepted()) {
        AddPoints(chart, PointsA, result.pointsA);
        AddPoints(chart, PointsB, result.pointsB);
        chart.SetRange(TChartAxis::Left, result.errorRange->min, result.errorRange->max);
    }
    chart.SetTraceName(PointsA, result.titleA);
    chart.SetTraceName(PointsB, result.titleB);
    chart.SetTitleLines(result.titleLines);
    chart.SetAxisTitle(TChartAxis::Left, result.errorAxisTitle);
    chart.SetAxisTitle(TChartAxis::Bottom, result.divisionsAxisTitle);
    ui->LblZeroResult->setText(result.zeroDriftText);
    chart.Redraw();
    return result.Accepted();
}

void TFrmFactory::FactoryTestResults1Click(IUserPrompts& prompts, QWidget* parent)
{
    TFrmFactory window(prompts, parent);
    window.ShowFactoryResults(kMenuRecord, kMenuSerial);
    window.exec();
}
