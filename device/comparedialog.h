#pragma once

#include "settingscompare.h"

#include <QDialog>

#include <memory>
#include <vector>

class IPrintPrompts;
class IUserPrompts;
namespace Ui {
class TFrmCompare;
}

// "Compare with File": the settings in which the instrument differs from a settings file,
// each with the file's value and the instrument's, to read, print or save as text.
class TFrmCompare : public QDialog
{
    Q_OBJECT
public:
    // The differences with the file first and the instrument second; `fileName` as shown.
    TFrmCompare(std::vector<TSettingDifference> differences, QString fileName,
                IUserPrompts& prompts, IPrintPrompts& printPrompts, QWidget* parent = nullptr);
    ~TFrmCompare() override;

    // The comparison as text: a line naming what was compared, then one line a difference.
    [[nodiscard]] QStringList ReportLines() const;

private:
    void Fill();
    void Print();
    void Save();

    std::unique_ptr<Ui::TFrmCompare> ui;
    std::vector<TSettingDifference> m_differences;
    QString m_fileName;
    IUserPrompts& m_prompts;
    IPrintPrompts& m_printPrompts;
};
