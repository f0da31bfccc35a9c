#pragma once

#include "portlist.h"
#include "serialports.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <vector>

class IUserPrompts;
class QButtonGroup;
class QStandardItemModel;
namespace Ui {
class TFrmComDialog;
}

// "Com Port Settings": the port (a serial port, listed with what the system knows of it, or a
// serial device server's port on the network), cable, line settings and unit address. Hands
// back a TPortChoice; it never touches the port itself.
class TFrmComDialog : public QDialog
{
    Q_OBJECT
public:
    TFrmComDialog(IUserPrompts& prompts, const QStringList& ports, QWidget* parent = nullptr);
    ~TFrmComDialog() override;

    // The ports listed, each with what is known of it, in place of those given at the start.
    void SetPorts(const std::vector<portlist::TPortEntry>& ports);

    // Preselects the port whose name matches (without regard to case), or the network port
    // it names, and the other choices. A COM-style name no port of this machine has stands
    // for none: the first port listed is preselected instead.
    void SetChoice(const TPortChoice& choice);
    [[nodiscard]] TPortChoice Choice() const;
    [[nodiscard]] bool PortSelected() const;

    void RGPhysicalClick();
    void cboxAddressChange();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void RGLinkClick();
    void ShowPortDetails();
    void TakeNetworkName(int index);
    void SetNetwork(const QString& portName);
    [[nodiscard]] bool Network() const;
    void UpdateOk(bool mayWarn);
    [[nodiscard]] int Selected(const QButtonGroup* group) const;
    void Select(QButtonGroup* group, int index);

    std::unique_ptr<Ui::TFrmComDialog> ui;
    IUserPrompts& m_prompts;
    QStandardItemModel* m_ports;
    QButtonGroup* m_physical;
    QButtonGroup* m_baud;
    QButtonGroup* m_parity;
    QButtonGroup* m_data;
    QButtonGroup* m_stop;
    std::optional<bool> m_lastAllowed; // outcome of the previous check while shown
};
