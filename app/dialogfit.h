#pragma once

#include <QObject>

class QDialog;
class QFont;

// Keeps every dialog of the program at least as wide as its title, so that the title bar never
// cuts it short ("Read I… ttings"). Installed once on the application, it widens each dialog
// as it is shown or retitled; a dialog of fixed size stays fixed, at the wider size.
class TDialogFit : public QObject
{
public:
    explicit TDialogFit(QObject* parent = nullptr);
    ~TDialogFit() override;

    // The width a window needs to show `title` whole beside the title bar's icon and buttons.
    [[nodiscard]] static int TitleWidth(const QString& title, const QFont& font);
    static void Fit(QDialog& dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
