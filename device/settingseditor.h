#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class IUserPrompts;
class QComboBox;
class TDevice;
class TMenuNode;
namespace Ui {
class TSettingsEditor;
}

// The right-hand side of the Settings tab: the editor page a selected item calls for (option
// list, number, string, bit field, or why it cannot be edited), its limits as the instrument
// gives them, and the checks before a value is sent. A confirmed edit is handed on as the raw
// value text to write.
class TSettingsEditor : public QWidget
{
    Q_OBJECT
public:
    TSettingsEditor(TDevice& device, IUserPrompts& prompts, QWidget* parent = nullptr);
    ~TSettingsEditor() override;

    // Opens the editor of the node's item; the empty page for a placeholder or a menu.
    void Open(const TMenuNode* node);
    void ShowNone();
    // Keyboard focus to the open editor's field.
    void FocusEditor();
    // The item's caption after a write, on every page that names it.
    void ShowCaption(const QString& caption);

signals:
    void WriteRequested(const QString& raw);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowAccessDenied(const QString& message = {});
    void OpenNumber(const TMenuNode& node, const QString& label);
    void OpenString(const TMenuNode& node, const QString& label);
    void OpenOptions(const TMenuNode& node, const QString& label);
    void OpenBitField(const TMenuNode& node, const QString& label);
    void CbxOptionsChg(int index);
    void BtnNumOKClick();
    void btnStringOKClick();
    void BtnBitFieldOKClick();

    std::unique_ptr<Ui::TSettingsEditor> ui;
    TDevice& m_device;
    IUserPrompts& m_prompts;
    std::array<QComboBox*, 6> m_bitCombos{};
    // The number page's limits in the instrument's integer units, and its decimals.
    int32_t m_numMinimum = 0;
    int32_t m_numMaximum = 0;
    int m_numDecimals = 0;
    uint32_t m_bitValue = 0; // the open bit field's value as read
};
