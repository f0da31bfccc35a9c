// The program's own boxes and dialogs as a user meets them: the icon each kind of message
// carries, and every dialog wide enough to show its whole title.
#include "about.h"
#include "abscal.h"
#include "calwait.h"
#include "chartexport.h"
#include "chartsetup.h"
#include "comdialog.h"
#include "dialogfit.h"
#include "factory.h"
#include "instrumentlink.h"
#include "logdialog.h"
#include "menunode.h"
#include "messageprompts.h"
#include "passcode.h"
#include "pcclock.h"
#include "printformat.h"
#include "readsettings.h"
#include "recordingprompts.h"
#include "recordingsessionprompts.h"
#include "sendsettings.h"
#include "sessioncontroller.h"
#include "setclock.h"
#include "settingstransfer.h"
#include "silenceprompt.h"
#include "statuswait.h"
#include "trafficdlg.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// What the instrument refused is a warning, not a piece of information.
TEST(MessagePrompts, EachKindOfMessageHasItsIcon)
{
    using Show = void (TMessagePrompts::*)(const QString&);
    const std::pair<Show, QMessageBox::Icon> cases[] = {
        {&TMessagePrompts::Inform, QMessageBox::Information},
        {&TMessagePrompts::Warn, QMessageBox::Warning}, // instrument error replies
        {&TMessagePrompts::ShowError, QMessageBox::Critical},
    };
    TMessagePrompts prompts(nullptr, "ViewQ900");
    for (const auto& [show, expected] : cases) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] { // the box is modal: read and closed from inside it
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            icon = box->icon();
            box->accept();
        });
        (prompts.*show)("Access Denied");
        EXPECT_EQ(icon, expected);
    }
}

// No title bar cuts a dialog's title short: each dialog of the program, made as its command
// makes it, is as wide as its title needs, also one of fixed size and after a new layout.
TEST(DialogFit, EachDialogIsWideEnoughForItsTitle)
{
    RecordingPrompts prompts;
    RecordingSessionPrompts sessionPrompts;
    TInstrumentLink link{prompts};
    TSessionController session{link, prompts, sessionPrompts};
    TSettingsTransfer transfer{link, prompts};
    TStatusWait wait{[] { return std::optional<uint32_t>(); }};
    TMenuNode tree;
    const TDialogFit fit;
    const auto cal = [&](TFrmAbsCal::TMode mode) {
        auto dialog = std::make_unique<TFrmAbsCal>(prompts);
        dialog->Prepare(mode);
        return dialog;
    };
    using M = TFrmAbsCal::TMode;
    const std::function<std::unique_ptr<QDialog>()> dialogs[] = {
        [] { return std::make_unique<TFrmPasscode>(TPasscodeQuestion{true}); },
        [] {
            return std::make_unique<TFrmPasscode>(TPasscodeQuestion{false, true});
        },
        [] { return std::make_unique<TFrmReadSettings>(); },
        [&] { return std::make_unique<TFrmSendSettings>(tree); },
        [&] { return std::make_unique<TFrmTraffic>(transfer); },
        [&] { return cal(M::DirectZero); },
        [&] { return cal(M::Span); },
        [&] { return std::make_unique<TFrmCalWait>(wait); },
        [] { return std::make_unique<TFrmLogDialog>(); },
        [&] {
            return std::make_unique<TFrmChartSetup>(prompts, 1, "kg", [] { return std::nullopt; });
        },
        [] { return std::make_unique<TFrmChartExport>(); },
        [&] { return std::make_unique<TFrmSetClock>(link, session, prompts, IPcClock::System()); },
        [&] { return std::make_unique<TFrmPrintFormat>(prompts); },
        [&] { return std::make_unique<TFrmFactory>(prompts); },
        [] { return std::make_unique<TfrmAbout>(); },
        [&] { return std::make_unique<TFrmComDialog>(prompts, QStringList{}); },
        [] { return std::make_unique<TFrmSilencePrompt>(); },
    };
    for (const auto& make : dialogs) {
        const std::unique_ptr<QDialog> dialog = make();
        dialog->show();
        const std::string title = dialog->windowTitle().toStdString();
        const int need = TDialogFit::TitleWidth(dialog->windowTitle(), dialog->font());
        EXPECT_GE(dialog->width(), need) << title;
        dialog->adjustSize();
        EXPECT_GE(dialog->width(), need) << title << " after adjustSize";
    }
}
