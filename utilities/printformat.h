#pragma once

#include "printformatcodec.h"

#include <QDialog>

#include <memory>

class IUserPrompts;
class QLabel;
class QLineEdit;
class TInstrumentLink;
class TSessionController;
namespace Ui {
class TFrmPrintFormat;
}

// "Custom Print Formats": the instrument's two print formats as text with backslash escapes,
// each with its size in bytes against the instrument's limit and the ticket it prints, spelled
// out on one line. However it is closed (OK, Cancel, Escape or the close box), it closes only
// when both formats fit; otherwise it says which is too long and stays open.
class TFrmPrintFormat : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmPrintFormat(IUserPrompts& prompts, QWidget* parent = nullptr);
    ~TFrmPrintFormat() override;

    void SetFormats(const printformat::TPrintFormats& formats);
    [[nodiscard]] printformat::TPrintFormats Formats() const;

    // Instrument > Custom Print Format: reads both formats with their limits, and after OK
    // and the Full passcode writes both back and has the instrument store its settings.
    // Nothing happens while the port is closed.
    static void CustomPrintFormat1Click(TInstrumentLink& link, TSessionController& session,
                                        IUserPrompts& prompts, QWidget* parent = nullptr);

    void done(int result) override;

private:
    void ShowInfo(const QLineEdit* edit, int limit, QLabel* bytes, QLineEdit* ticket);
    void UpdateInfo();

    std::unique_ptr<Ui::TFrmPrintFormat> ui;
    IUserPrompts& m_prompts;
    int m_shortLimit = printformat::kDefaultShortLimit;
    int m_longLimit = printformat::kDefaultLongLimit;
};
