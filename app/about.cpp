#include "about.h"

#include "dmviewer.h"
#include "jpegloader.h"
#include "ui_about.h"
#include "version.h"

#include <QFileInfo>
#include <QPixmap>

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmAbout>())
{
    ui->setupUi(this);
    // The logo's own white ground runs across the window's top panel.
    ui->imgLogo->setAutoFillBackground(true);
    QPalette top = ui->imgLogo->palette();
    top.setColor(QPalette::Window, Qt::white);
    ui->imgLogo->setPalette(top);
    QFont name = ui->lblViewerName->font();
    name.setBold(true);
    name.setPixelSize(21);
    ui->lblViewerName->setFont(name);
    QFont copyright = ui->lblCopyright->font();
    copyright.setItalic(true);
    ui->lblCopyright->setFont(copyright);
}

TfrmAbout::~TfrmAbout() = default;

QString TfrmAbout::FormCreate(const TdatViewer& config)
{
    PictureResult logo = jpegloader::LoadPicture(QStringLiteral(":/images/logo.jpg"));
    const QString logoFile = config.Logo();
    if (QFileInfo(logoFile).isFile()) {
        logo = jpegloader::LoadPicture(logoFile);
        if (!logo.ok())
            return logo.error;
    }
    ui->imgLogo->setPixmap(QPixmap::fromImage(logo.image));

    setWindowTitle(QStringLiteral("About ") + config.ViewerName());
    ui->lblViewerName->setText(config.ViewerName());
    QLabel* comments[] = {ui->lblcomment1, ui->lblcomment2, ui->lblcomment3,
                          ui->lblcomment4, ui->lblcomment5, ui->lblcomment6};
    for (int i = 0; i < 6; ++i)
        comments[i]->setText(config.Comment(i + 1));
    ui->lblCopyright->setText(config.Copyright());
    ui->lblversion->setText(QStringLiteral(VIEWER_VERSION_TEXT));
    return {};
}

void TfrmAbout::mousePressEvent(QMouseEvent*)
{
    accept();
}
