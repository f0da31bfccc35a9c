#pragma once

#include <QDialog>

#include <memory>

class IUserPrompts;
namespace Ui {
class TFrmFactory;
}

// "Factory Test Results": an instrument's factory test, the error at each test point at two
// temperatures, plotted against the trade-limit envelope, with the serial number and test
// date above the chart. The chart is for reading only: no zoom or pan.
class TFrmFactory : public QDialog
{
    Q_OBJECT
public:
    // The record and serial number the menu command shows: no instrument request for a test
    // record is known, so it is refused and the window shows the trade limits alone.
    static const QString kMenuRecord;
    static const QString kMenuSerial;

    explicit TFrmFactory(IUserPrompts& prompts, QWidget* parent = nullptr);
    ~TFrmFactory() override;

    // Draws the record's results (true) or, when it is refused, the trade limits alone on an
    // automatic error axis, after saying so unless the record is too short to be one.
    bool ShowFactoryResults(const QString& record, const QString& serial);

    // Instrument > Factory Test Results: the window for kMenuRecord and kMenuSerial.
    static void FactoryTestResults1Click(IUserPrompts& prompts, QWidget* parent = nullptr);

private:
    void SetUpChart();

    std::unique_ptr<Ui::TFrmFactory> ui;
    IUserPrompts& m_prompts;
};
