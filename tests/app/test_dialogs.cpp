// The program's own boxes and dialogs as a user meets them: the icon each kind of message
// carries, and every dialog wide enough to show its whole title.
#include "eventwait.h"
#include "messageprompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Closes the first message box that shows, remembering its icon.
QMessageBox::Icon IconOfBoxShownBy(const std::function<void()>& show)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            icon = box->icon();
            box->accept();
        }
    });
    look.start(5);
    show();
    return icon;
}

struct IconCase
{
    const char* kind;
    void (TMessagePrompts::*show)(const QString&);
    QMessageBox::Icon icon;
};

} // namespace

// What the instrument refused is a warning, not a piece of information.
TEST(MessagePrompts, EachKindOfMessageHasItsIcon)
{
    const IconCase cases[] = {
        {"information", &TMessagePrompts::Inform, QMessageBox::Information},
        {"instrument error reply", &TMessagePrompts::Warn, QMessageBox::Warning},
        {"failure", &TMessagePrompts::ShowError, QMessageBox::Critical},
    };
    TMessagePrompts prompts(nullptr, "ViewQ900");
    for (const IconCase& c : cases) {
        const auto icon = IconOfBoxShownBy([&] { (prompts.*c.show)("Access Denied"); });
        EXPECT_EQ(icon, c.icon) << c.kind;
    }
}
