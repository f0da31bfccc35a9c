#include "settingseditor.h"

#include "device.h"
#include "menunode.h"
#include "protocol.h"
#include "settingsvalues.h"
#include "tools.h"
#include "ui_settingseditor.h"
#include "userprompts.h"
#include "waitcursor.h"

#include <QKeyEvent>
#include <QSignalBlocker>

using namespace protocol;

namespace {

bool IsEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// What a number edit takes: control keys, blank, sign, point and digits.
bool NumberKeyPasses(const QKeyEvent* key)
{
    const QString text = key->text();
    if (text.isEmpty())
        return true;
    const QChar c = text.at(0);
    return c.unicode() < 32 || c == u' ' || c == u'+' || c == u'-' || c == u'.' ||
           (c >= u'0' && c <= u'9');
}

} // namespace

TSettingsEditor::TSettingsEditor(TDevice& device, IUserPrompts& prompts, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TSettingsEditor>()), m_device(device),
      m_prompts(prompts)
{
    ui->setupUi(this);
    m_bitCombos = {ui->CBxBit0, ui->CBxBit1, ui->CBxBit2, ui->CBxBit3, ui->CBxBit4, ui->CBxBit5};
    ui->lblAccessDenied->setFixedWidth(265);
    ui->EdtNum->installEventFilter(this);
    ui->EdtString->installEventFilter(this);
    connect(ui->CbxOptions, &QComboBox::currentIndexChanged, this, &TSettingsEditor::CbxOptionsChg);
    connect(ui->btnNumOK, &QPushButton::clicked, this, &TSettingsEditor::BtnNumOKClick);
    connect(ui->btnStringOK, &QPushButton::clicked, this, &TSettingsEditor::btnStringOKClick);
    connect(ui->BtnBitFieldOK, &QPushButton::clicked, this, &TSettingsEditor::BtnBitFieldOKClick);
    ShowNone();
}

TSettingsEditor::~TSettingsEditor() = default;

void TSettingsEditor::ShowNone()
{
    ui->pgcConfig->setCurrentWidget(ui->pgNone);
}

void TSettingsEditor::ShowAccessDenied(const QString& message)
{
    ui->lblAccessDenied->setText(message.isEmpty() ? QStringLiteral("Access Denied") : message);
    ui->pgcConfig->setCurrentWidget(ui->pgAccessDenied);
}

void TSettingsEditor::FocusEditor()
{
    QWidget* page = ui->pgcConfig->currentWidget();
    if (page == ui->pgNum)
        ui->EdtNum->setFocus();
    else if (page == ui->pgString)
        ui->EdtString->setFocus();
    else if (page == ui->pgOptions)
        ui->CbxOptions->setFocus();
    else if (page == ui->PgBitField)
        m_bitCombos[0]->setFocus();
}

void TSettingsEditor::ShowCaption(const QString& caption)
{
    for (QLabel* label : {ui->LblOptRegName, ui->LblNumRegName, ui->lblStringRegName})
        label->setText(caption);
}

void TSettingsEditor::Open(const TMenuNode* node)
{
    TRegisterKeeper keep(m_device);
    if (!node || !node->Data) {
        ShowNone();
        return;
    }
    const TNodeData& data = *node->Data;
    const QString label = QStringLiteral("(Register: %1)")
                              .arg(settingsvalues::RegisterLabel(data.Register, data.Access));
    m_device.SetCurrentRegister(data.Register);
    if (data.WriteLevel() == level::Local) {
        ShowAccessDenied(QStringLiteral("Local Function only"));
        return;
    }
    const int type = data.Type();
    if (item::IsNumber(type))
        OpenNumber(*node, label);
    else if (type == item::String)
        OpenString(*node, label);
    else if (type == item::Options)
        OpenOptions(*node, label);
    else if (type == item::Menu)
        ShowNone();
    else if (type == item::BitField)
        OpenBitField(*node, label);
    else
        ShowAccessDenied(QStringLiteral("Local Function only"));
}

void TSettingsEditor::OpenNumber(const TMenuNode& node, const QString& label)
{
    const TNodeData& data = *node.Data;
    ui->lblNumRegID->setText(label);
    const bool minimumRead = m_device.ReadMinimum();
    if (minimumRead)
        m_numMinimum = m_device.ReplyNumber();
    const bool maximumRead = m_device.ReadMaximum();
    if (maximumRead)
        m_numMaximum = m_device.ReplyNumber();
    const bool usable = minimumRead && maximumRead && data.Valid;
    if (data.Valid) {
        m_numDecimals = tools::DecimalPlaces(data.DisplayText);
        const auto value = static_cast<int32_t>(tools::HexToInt(data.RawValue));
        ui->EdtNum->setText(tools::IntToFixed(value, m_numDecimals));
    }
    if (usable)
        ui->LblNumRegName->setText(node.Caption);
    ui->lblNumRange->setText(QStringLiteral("( %1 to %2 )")
                                 .arg(tools::IntToFixed(m_numMinimum, m_numDecimals),
                                      tools::IntToFixed(m_numMaximum, m_numDecimals)));
    if (!usable) {
        ShowAccessDenied(QStringLiteral("Access Denied"));
        return;
    }
    ui->pgcConfig->setCurrentWidget(ui->pgNum);
}

void TSettingsEditor::OpenString(const TMenuNode& node, const QString& label)
{
    ui->lblStringRegName->setText(node.Caption);
    ui->lblStringRegID->setText(label);
    const bool maximumRead = m_device.ReadMaximum();
    if (maximumRead)
        ui->EdtString->setMaxLength(std::max(1, m_device.ReplyNumber()));
    if (!maximumRead || !node.Data->Valid) {
        ShowAccessDenied(QStringLiteral("Access Denied"));
        return;
    }
    ui->EdtString->setText(node.Data->RawValue);
    ui->pgcConfig->setCurrentWidget(ui->pgString);
}

void TSettingsEditor::OpenOptions(const TMenuNode& node, const QString& label)
{
    ui->LblOptRegName->setText(node.Caption);
    ui->lblOptRegID->setText(label);
    if (!node.Data->Valid) {
        ShowAccessDenied(QStringLiteral("Access Denied"));
        return;
    }
    {
        TWaitCursor wait;
        const QStringList options = m_device.GetOptionList().value_or(QStringList());
        // Showing the current choice is no choice of the user's.
        const QSignalBlocker quiet(ui->CbxOptions);
        ui->CbxOptions->clear();
        ui->CbxOptions->addItems(options);
        ui->CbxOptions->setCurrentIndex(static_cast<int>(tools::HexToInt(node.Data->RawValue)));
    }
    ui->pgcConfig->setCurrentWidget(ui->pgOptions);
}

void TSettingsEditor::OpenBitField(const TMenuNode& node, const QString& label)
{
    ui->LblBitRegName->setText(node.Caption);
    ui->LblBitRegID->setText(label);
    if (!node.Data->Valid) {
        ShowAccessDenied(QStringLiteral("Access Denied"));
        return;
    }
    const QStringList fields = m_device.GetOptionList().value_or(QStringList());
    m_bitValue = tools::HexToInt(node.Data->RawValue);
    for (int k = 0; k < static_cast<int>(m_bitCombos.size()); ++k) {
        QComboBox* combo = m_bitCombos[k];
        const QSignalBlocker quiet(combo);
        combo->clear();
        combo->setVisible(k < fields.size());
        if (k >= fields.size())
            continue;
        for (QChar choice : fields[k])
            combo->addItem(QString(choice));
        combo->setCurrentIndex(
            settingsvalues::BitFieldSelection(fields[k], node.Data->DisplayText, k));
    }
    ui->pgcConfig->setCurrentWidget(ui->PgBitField);
}

void TSettingsEditor::CbxOptionsChg(int index)
{
    if (index >= 0)
        emit WriteRequested(settingsvalues::OptionRaw(index));
}

void TSettingsEditor::BtnNumOKClick()
{
    const settingsvalues::TNumberEntry entry =
        settingsvalues::CheckNumber(ui->EdtNum->text(), m_numDecimals, m_numMinimum, m_numMaximum);
    ui->EdtNum->setText(entry.normalised);
    if (!entry.raw) {
        m_prompts.ShowError(entry.error);
        return;
    }
    emit WriteRequested(*entry.raw);
}

void TSettingsEditor::btnStringOKClick()
{
    emit WriteRequested(ui->EdtString->text());
}

void TSettingsEditor::BtnBitFieldOKClick()
{
    std::vector<settingsvalues::TBitField> fields;
    for (QComboBox* combo : m_bitCombos) {
        if (combo->isVisibleTo(ui->PgBitField))
            fields.push_back({static_cast<int>(combo->count()), combo->currentIndex()});
    }
    emit WriteRequested(settingsvalues::PackBitFields(fields, m_bitValue));
}

bool TSettingsEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == ui->EdtNum) {
        if (IsEnter(key)) {
            BtnNumOKClick();
            return true;
        }
        return !NumberKeyPasses(key);
    }
    if (watched == ui->EdtString && IsEnter(key)) {
        btnStringOKClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
