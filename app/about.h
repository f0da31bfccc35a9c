#pragma once

#include <QDialog>

#include <memory>

class TdatViewer;
namespace Ui {
class TfrmAbout;
}

// The About window: viewer name, version, logo and comment lines from the configuration.
class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    ~TfrmAbout() override;

    // Fills the window from the configuration; an error text when the configured logo
    // exists but is not a picture (the window should then not be shown).
    [[nodiscard]] QString FormCreate(const TdatViewer& config);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmAbout> ui;
};
