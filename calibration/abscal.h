#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

class IUserPrompts;
namespace Ui {
class TFrmAbsCal;
}

// The entry dialog of every calibration operation: a signal in mV/V, a weight, or both. Each
// operation shows only the parts it needs. The signal field keeps to the characters of a
// number and to -3.0000..3.0000 mV/V; the weight field takes any text.
class TFrmAbsCal : public QDialog
{
    Q_OBJECT
public:
    enum class TMode
    {
        DirectZero,   // a zero signal
        DirectSpan,   // a span signal beside the instrument's reference weight
        Span,         // a span weight
        Linearisation // a test weight
    };

    explicit TFrmAbsCal(IUserPrompts& prompts, QWidget* parent = nullptr);
    ~TFrmAbsCal() override;

    void Prepare(TMode mode);
    void SetUnits(const QString& units);
    // The signal shown, in units of 0.0001 mV/V.
    void SetSignal(int32_t value);
    void SetWeight(const QString& text);

    // The entries as the instrument counts them.
    [[nodiscard]] int32_t Signal() const;
    [[nodiscard]] int32_t Weight(int decimals) const;

    // OK only with a signal within its range.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    [[nodiscard]] bool SignalShown() const;
    bool FilterSignalKey(const QKeyEvent& key);
    void NormaliseSignal();
    void LeftSignal();
    bool EdtAbsMVExit();

    std::unique_ptr<Ui::TFrmAbsCal> ui;
    IUserPrompts& m_prompts;
};
