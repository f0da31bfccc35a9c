#include "comparedialog.h"

#include "listingprinter.h"
#include "printprompts.h"
#include "settingsfile.h"
#include "ui_comparedialog.h"
#include "userprompts.h"

#include <QHeaderView>
#include <QPrinter>

namespace {

const QString kInstrument = QStringLiteral("the instrument");
const QString kNone = QStringLiteral("(none)");

} // namespace

TFrmCompare::TFrmCompare(std::vector<TSettingDifference> differences, QString fileName,
                         IUserPrompts& prompts, IPrintPrompts& printPrompts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmCompare>()),
      m_differences(std::move(differences)), m_fileName(std::move(fileName)), m_prompts(prompts),
      m_printPrompts(printPrompts)
{
    ui->setupUi(this);
    connect(ui->BtnPrint, &QPushButton::clicked, this, &TFrmCompare::Print);
    connect(ui->BtnSave, &QPushButton::clicked, this, &TFrmCompare::Save);
    Fill();
}

TFrmCompare::~TFrmCompare() = default;

void TFrmCompare::Fill()
{
    const auto count = m_differences.size();
    ui->LblSummary->setText(
        count == 0 ? QStringLiteral("The instrument's settings are those of %1.").arg(m_fileName)
        : count == 1
            ? QStringLiteral("1 setting of the instrument differs from %1.").arg(m_fileName)
            : QStringLiteral("%1 settings of the instrument differ from %2.")
                  .arg(count)
                  .arg(m_fileName));
    using TKind = TSettingDifference::TKind;
    for (const TSettingDifference& difference : m_differences) {
        auto* item = new QTreeWidgetItem(ui->TvDifferences);
        item->setText(0, difference.Setting());
        item->setText(1, difference.kind == TKind::OnlySecond ? kNone : difference.first);
        item->setText(2, difference.kind == TKind::OnlyFirst ? kNone : difference.second);
    }
    ui->TvDifferences->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (QTreeWidgetItem* first = ui->TvDifferences->topLevelItem(0))
        ui->TvDifferences->setCurrentItem(first);
    ui->BtnPrint->setEnabled(count > 0);
    ui->BtnSave->setEnabled(count > 0);
}

QStringList TFrmCompare::ReportLines() const
{
    QStringList lines{QStringLiteral("Settings of %1 compared with %2 (the file's value -> the "
                                     "instrument's):")
                          .arg(kInstrument, m_fileName)};
    for (const TSettingDifference& difference : m_differences)
        lines << settingscompare::Line(difference, m_fileName, kInstrument);
    return lines;
}

void TFrmCompare::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!m_printPrompts.ChoosePrinter(printer))
        return;
    const QStringList lines = ReportLines();
    const int perPage = std::max(listingprinter::LinesPerPage(printer), 1);
    std::vector<QStringList> pages;
    for (qsizetype at = 0; at < lines.size(); at += perPage)
        pages.push_back(lines.mid(at, perPage));
    const QString error = listingprinter::Print(printer, pages);
    if (!error.isEmpty())
        m_prompts.ShowError(error);
}

void TFrmCompare::Save()
{
    const QString chosen = m_prompts.AskSaveFileName(QStringLiteral("Save Comparison"),
                                                     QStringLiteral("Text (*.txt);;All Files (*)"));
    if (chosen.isEmpty())
        return;
    const QString error = settingsfile::SaveSettingsFile(
        settingsfile::WithDefaultExtension(chosen, QStringLiteral(".txt")), ReportLines());
    if (!error.isEmpty())
        m_prompts.ShowError(error);
}
