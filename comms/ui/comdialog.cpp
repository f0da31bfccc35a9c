#include "comdialog.h"

#include "ui_comdialog.h"
#include "userprompts.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace {

QButtonGroup* GroupOf(QObject* owner, QGroupBox* box)
{
    auto* group = new QButtonGroup(owner);
    int id = 0;
    for (QRadioButton* button : box->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
        group->addButton(button, id++);
    return group;
}

} // namespace

TFrmComDialog::TFrmComDialog(IUserPrompts& prompts, const QStringList& ports, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TFrmComDialog>()), m_prompts(prompts)
{
    ui->setupUi(this);
    m_physical = GroupOf(this, ui->RGPhysical);
    m_baud = GroupOf(this, ui->RGBaud);
    m_parity = GroupOf(this, ui->RGParity);
    m_data = GroupOf(this, ui->RGData);
    m_stop = GroupOf(this, ui->RGStop);
    ui->CBSerialPort->addItems(ports);
    ui->CBSerialPort->setCurrentIndex(-1);
    ui->cboxAddress->addItem(QStringLiteral("Any"));
    for (int a = 1; a <= 31; ++a)
        ui->cboxAddress->addItem(QString::number(a));
    ui->cboxAddress->setCurrentIndex(-1);
    Select(m_baud, 2);
    Select(m_parity, 0);
    Select(m_data, 1);
    Select(m_stop, 0);
    connect(m_physical, &QButtonGroup::idClicked, this, [this] { RGPhysicalClick(); });
    connect(ui->cboxAddress, &QComboBox::currentIndexChanged, this,
            [this] { cboxAddressChange(); });
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

TFrmComDialog::~TFrmComDialog() = default;

int TFrmComDialog::Selected(const QButtonGroup* group) const
{
    return group->checkedId();
}

void TFrmComDialog::Select(QButtonGroup* group, int index)
{
    if (QAbstractButton* button = group->button(index))
        button->setChecked(true);
}

void TFrmComDialog::SetChoice(const TPortChoice& choice)
{
    const int port = ui->CBSerialPort->findText(choice.portName, Qt::MatchFixedString);
    if (port >= 0)
        ui->CBSerialPort->setCurrentIndex(port);
    else if (!choice.portName.isEmpty())
        ui->CBSerialPort->setEditText(choice.portName);
    Select(m_physical, choice.cable);
    Select(m_baud, choice.baud);
    Select(m_parity, choice.parity);
    Select(m_data, choice.data);
    Select(m_stop, choice.stop);
    const QSignalBlocker quiet(ui->cboxAddress);
    ui->cboxAddress->setCurrentIndex(choice.address >= 0 && choice.address <= 31 ? choice.address
                                                                                 : -1);
    ui->CbxReconnect->setChecked(choice.reconnect);
    RGPhysicalClick();
}

TPortChoice TFrmComDialog::Choice() const
{
    TPortChoice choice;
    choice.portName = ui->CBSerialPort->currentText().trimmed();
    choice.cable = Selected(m_physical);
    choice.baud = Selected(m_baud);
    choice.parity = Selected(m_parity);
    choice.data = Selected(m_data);
    choice.stop = Selected(m_stop);
    choice.address = ui->cboxAddress->currentIndex();
    choice.reconnect = ui->CbxReconnect->isChecked();
    return choice;
}

bool TFrmComDialog::PortSelected() const
{
    return !ui->CBSerialPort->currentText().trimmed().isEmpty();
}

void TFrmComDialog::RGPhysicalClick()
{
    const bool optical = Selected(m_physical) == TPortChoice::OpticalLink;
    for (QWidget* w :
         {static_cast<QWidget*>(ui->RGBaud), static_cast<QWidget*>(ui->RGParity),
          static_cast<QWidget*>(ui->RGData), static_cast<QWidget*>(ui->RGStop),
          static_cast<QWidget*>(ui->cboxAddress), static_cast<QWidget*>(ui->LblAddress)})
        w->setVisible(!optical);
    UpdateOk(true);
}

void TFrmComDialog::cboxAddressChange()
{
    UpdateOk(false);
}

void TFrmComDialog::UpdateOk(bool mayWarn)
{
    const bool allowed =
        serialports::RingAllowed(Selected(m_physical), ui->cboxAddress->currentIndex());
    ui->BtnOk->setEnabled(allowed);
    if (!isVisible())
        return;
    const bool changed = !m_lastAllowed.has_value() || *m_lastAllowed != allowed;
    m_lastAllowed = allowed;
    if (mayWarn && changed && !allowed)
        m_prompts.Inform(serialports::RingAnyMessage());
}

void TFrmComDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_lastAllowed.reset();
    UpdateOk(true);
}

void TFrmComDialog::hideEvent(QHideEvent* event)
{
    m_lastAllowed.reset();
    QDialog::hideEvent(event);
}
