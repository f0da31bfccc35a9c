#pragma once

#include "chartsetuprules.h"
#include "traces.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class IUserPrompts;
class QKeyEvent;
class QLineEdit;
namespace Ui {
class TFrmChartSetup;
}

// What a confirmed Chart Setup dialog hands back.
struct TChartSetupResult
{
    TAxisRange time;
    TAxisRange weight;
    QString comment;
};

// The Chart Setup dialog: the time and weight ranges of the log chart and the log comment.
// The number fields take digits, blank, '+', ',', '-' and '.' only; leaving one writes it at
// its decimals and checks its range, and Ok checks them all before the dialog closes.
class TFrmChartSetup : public QDialog
{
    Q_OBJECT

public:
    // Where the weight trace's points lie when Auto is pressed (nothing: no points); the
    // traces may grow while the dialog is open.
    using ExtentSource = std::function<std::optional<TTraceExtent>()>;

    TFrmChartSetup(IUserPrompts& prompts, int decimals, const QString& units, ExtentSource weight,
                   QWidget* parent = nullptr);
    ~TFrmChartSetup() override;

    // Times rounded to whole seconds and weights at the weight decimals, halves to even.
    void Fill(const TAxisRange& time, const TAxisRange& weight, const QString& comment);
    // The fields as numbers, read as typed.
    [[nodiscard]] TChartSetupResult Result() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] std::array<QLineEdit*, 4> NumberEdits() const;
    [[nodiscard]] int DecimalsOf(const QLineEdit* edit) const;
    [[nodiscard]] chartsetuprules::TFieldLimits LimitsOf(const QLineEdit* edit) const;
    // Normalises the field; false (after saying why) when it is out of range.
    bool CheckEdit(QLineEdit* edit);
    void Normalise(QLineEdit* edit);
    bool KeyPressed(QLineEdit* edit, const QKeyEvent& key);
    void EditLeft(QLineEdit* edit, Qt::FocusReason reason);
    void BtnAutoClick();
    void BtnOkClick();

    std::unique_ptr<Ui::TFrmChartSetup> ui;
    IUserPrompts& m_prompts;
    int m_decimals;
    ExtentSource m_weight;
};
