#include "silenceprompt.h"

#include "jpegloader.h"
#include "ui_silenceprompt.h"

#include <QPixmap>

TFrmSilencePrompt::TFrmSilencePrompt(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TFrmSilencePrompt>())
{
    ui->setupUi(this);
    const PictureResult picture =
        jpegloader::LoadPicture(QStringLiteral(":/images/opticallink.jpg"));
    ui->ImgLink->setPixmap(QPixmap::fromImage(picture.image));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

TFrmSilencePrompt::~TFrmSilencePrompt() = default;
