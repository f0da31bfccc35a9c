#pragma once

#include "serialports.h"

#include <QDialog>

#include <memory>
#include <optional>

class IUserPrompts;
class QButtonGroup;
namespace Ui {
class TFrmComDialog;
}

// "Com Port Settings": port, cable, line settings and unit address. Hands back a
// TPortChoice; it never touches the port itself.
class TFrmComDialog : public QDialog
{
    Q_OBJECT
public:
    TFrmComDialog(IUserPrompts& prompts, const QStringList& ports, QWidget* parent = nullptr);
    ~TFrmComDialog() override;

    // Preselects the port whose name matches (without regard to case) and the other choices.
    void SetChoice(const TPortChoice& choice);
    [[nodiscard]] TPortChoice Choice() const;
    [[nodiscard]] bool PortSelected() const;

    void RGPhysicalClick();
    void cboxAddressChange();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void UpdateOk(bool mayWarn);
    [[nodiscard]] int Selected(const QButtonGroup* group) const;
    void Select(QButtonGroup* group, int index);

    std::unique_ptr<Ui::TFrmComDialog> ui;
    IUserPrompts& m_prompts;
    QButtonGroup* m_physical;
    QButtonGroup* m_baud;
    QButtonGroup* m_parity;
    QButtonGroup* m_data;
    QButtonGroup* m_stop;
    std::optional<bool> m_lastAllowed; // outcome of the previous check while shown
};
