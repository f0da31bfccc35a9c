#include "logdialog.h"

#include "ui_logdialog.h"

#include <QSignalBlocker>

TFrmLogDialog::TFrmLogDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmLogDialog>())
{
    ui->setupUi(this);
    ui->CBLogRate->addItems(logchannels::RateTexts());
    for (QComboBox* list : ChannelLists())
        list->addItems(logchannels::ChannelTexts());
    // Nothing is chosen until the first run: the rate then reads as "none selected".
    SetChoice(TLogChoice{});
}

TFrmLogDialog::~TFrmLogDialog() = default;

std::array<QComboBox*, logchannels::DigitalCount> TFrmLogDialog::ChannelLists() const
{
    return {ui->CBxDig1, ui->CBxDig2, ui->CBxDig3, ui->CBxDig4};
}

void TFrmLogDialog::SetChoice(const TLogChoice& choice)
{
    m_shown = choice;
    const QSignalBlocker quiet(ui->CBLogRate);
    ui->CBLogRate->setCurrentIndex(choice.rate);
    const auto lists = ChannelLists();
    for (size_t k = 0; k < lists.size(); ++k)
        lists[k]->setCurrentIndex(choice.channels[k]);
}

TLogChoice TFrmLogDialog::Choice() const
{
    TLogChoice choice;
    choice.rate = ui->CBLogRate->currentIndex();
    const auto lists = ChannelLists();
    for (size_t k = 0; k < lists.size(); ++k)
        choice.channels[k] = lists[k]->currentIndex();
    return choice;
}

void TFrmLogDialog::done(int result)
{
    if (result != Accepted)
        SetChoice(m_shown);
    else
        m_shown = Choice();
    QDialog::done(result);
}
