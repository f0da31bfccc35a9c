#include "comdialog.h"

#include "networkaddress.h"
#include "ui_comdialog.h"
#include "userprompts.h"

#include <QButtonGroup>
#include <QHeaderView>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

std::vector<portlist::TPortEntry> Entries(const QStringList& ports)
{
    std::vector<portlist::TPortEntry> entries;
    for (const QString& port : ports)
        entries.push_back({port, {}});
    return entries;
}

// The popup shows each port's name with what is known of it beside; the edit the name alone.
QTreeView* TwoColumnPopup()
{
    auto* view = new QTreeView;
    view->setHeaderHidden(true);
    view->setRootIsDecorated(false);
    view->setAllColumnsShowFocus(true);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->header()->setStretchLastSection(false);
    return view;
}

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
      ui(std::make_unique<Ui::TFrmComDialog>()), m_prompts(prompts),
      m_ports(new QStandardItemModel(this))
{
    ui->setupUi(this);
    m_physical = GroupOf(this, ui->RGPhysical);
    m_baud = GroupOf(this, ui->RGBaud);
    m_parity = GroupOf(this, ui->RGParity);
    m_data = GroupOf(this, ui->RGData);
    m_stop = GroupOf(this, ui->RGStop);
    ui->CBSerialPort->setView(TwoColumnPopup());
    ui->CBSerialPort->setModel(m_ports);
    SetPorts(Entries(ports));
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
    connect(ui->RGLink_1, &QRadioButton::toggled, this, [this] { RGLinkClick(); });
    connect(ui->CBSerialPort, &QComboBox::currentTextChanged, this, [this] { ShowPortDetails(); });
    connect(ui->CBSerialPort, &QComboBox::activated, this, &TFrmComDialog::TakeNetworkName);
    connect(ui->EdtHost, &QLineEdit::textChanged, this, [this] { UpdateOk(false); });
    connect(ui->CbxProtocol, &QComboBox::currentIndexChanged, this, [this] { RGPhysicalClick(); });
    RGLinkClick();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TFrmComDialog::SetPorts(const std::vector<portlist::TPortEntry>& ports)
{
    m_ports->clear();
    for (const portlist::TPortEntry& port : ports) {
        auto* name = new QStandardItem(port.name);
        auto* details = new QStandardItem(port.details);
        name->setToolTip(port.details);
        details->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        m_ports->appendRow({name, details});
    }
    ui->CBSerialPort->view()->setMinimumWidth(560);
    ui->CBSerialPort->setCurrentIndex(-1);
}

bool TFrmComDialog::Network() const
{
    return ui->RGLink_1->isChecked();
}

void TFrmComDialog::RGLinkClick()
{
    ui->PnlSerial->setVisible(!Network());
    ui->PnlNetwork->setVisible(Network());
    RGPhysicalClick();
}

void TFrmComDialog::ShowPortDetails()
{
    const QString name = ui->CBSerialPort->currentText().trimmed();
    const QList<QStandardItem*> found = m_ports->findItems(name, Qt::MatchFixedString);
    QString details = found.isEmpty() ? QString() : m_ports->item(found.first()->row(), 1)->text();
    if (details.isEmpty() && networkaddress::IsNetworkName(name))
        details = QStringLiteral("a serial device server's port on the network");
    ui->LblPortDetails->setText(details);
    ui->LblPortDetails->setVisible(!details.isEmpty());
}

// A network port chosen from the list (one used recently) is shown as such.
void TFrmComDialog::TakeNetworkName(int index)
{
    const QString name = ui->CBSerialPort->itemText(index);
    if (networkaddress::Parse(name))
        SetNetwork(name);
}

void TFrmComDialog::SetNetwork(const QString& portName)
{
    const std::optional<TNetworkAddress> address = networkaddress::Parse(portName);
    if (!address)
        return;
    ui->EdtHost->setText(address->host);
    ui->SpnNetPort->setValue(address->port);
    ui->CbxProtocol->setCurrentIndex(address->protocol == TNetworkAddress::TProtocol::Rfc2217 ? 1
                                                                                              : 0);
    ui->RGLink_1->setChecked(true);
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
    const bool network = networkaddress::Parse(choice.portName).has_value();
#ifndef Q_OS_WIN
    const bool none = port < 0 && serialports::IsComStyleName(choice.portName);
#else
    const bool none = false;
#endif
    if (network)
        SetNetwork(choice.portName);
    else
        ui->RGLink_0->setChecked(true);
    if (port >= 0)
        ui->CBSerialPort->setCurrentIndex(port);
    else if (none || network)
        ui->CBSerialPort->setCurrentIndex(ui->CBSerialPort->count() > 0 ? 0 : -1);
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
    if (Network())
        choice.portName = networkaddress::UrlOf(ui->CbxProtocol->currentIndex() == 1
                                                    ? TNetworkAddress::TProtocol::Rfc2217
                                                    : TNetworkAddress::TProtocol::RawTcp,
                                                ui->EdtHost->text(), ui->SpnNetPort->value());
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
    if (Network())
        return !ui->EdtHost->text().trimmed().isEmpty();
    return !ui->CBSerialPort->currentText().trimmed().isEmpty();
}

void TFrmComDialog::RGPhysicalClick()
{
    const bool optical = Selected(m_physical) == TPortChoice::OpticalLink;
    // A raw TCP port's line is set up on the device server; RFC 2217 sets it from here.
    const bool lineHere = !(Network() && ui->CbxProtocol->currentIndex() == 0);
    for (QWidget* w : {static_cast<QWidget*>(ui->RGBaud), static_cast<QWidget*>(ui->RGParity),
                       static_cast<QWidget*>(ui->RGData), static_cast<QWidget*>(ui->RGStop)}) {
        w->setVisible(!optical);
        w->setEnabled(lineHere);
        w->setToolTip(lineHere ? QString()
                               : QStringLiteral("A raw TCP port's line is set on the device "
                                                "server; RFC 2217 sets it from here."));
    }
    ui->cboxAddress->setVisible(!optical);
    ui->LblAddress->setVisible(!optical);
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
    ui->BtnOk->setEnabled(allowed && (!Network() || PortSelected()));
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
