#include "passcode.h"

#include "ui_passcode.h"

#include <QProxyStyle>
#include <QRegularExpressionValidator>
#include <QStyle>

namespace {

// Typed passcodes show as stars, whatever the desktop's style draws.
class TStarStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TFrmPasscode::TFrmPasscode(const TPasscodeQuestion& question, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmPasscode>())
{
    ui->setupUi(this);
    setWindowTitle(question.Caption());
    ui->LblPasscode->setText(question.Label());
    ui->LblWrong->setText(question.Refusal());
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    ui->ImgWrong->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize, iconSize));
    ui->PnlWrong->setVisible(question.again);
    auto* style = new TStarStyle;
    style->setParent(ui->EdtPasscode);
    ui->EdtPasscode->setStyle(style);
    // Digits only, typed or pasted.
    ui->EdtPasscode->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,6}")), ui->EdtPasscode));
    ui->EdtPasscode->setFocus();
}

TFrmPasscode::~TFrmPasscode() = default;

QString TFrmPasscode::Passcode() const
{
    return ui->EdtPasscode->text();
}
