// The program's own boxes and dialogs as a user meets them: the icon each kind of message
// carries, and every dialog wide enough to show its whole title.
#include "about.h"
#include "abscal.h"
#include "calwait.h"
#include "chartexport.h"
#include "chartsetup.h"
#include "comdialog.h"
#include "dialogfit.h"
#include "eventwait.h"
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

namespace {

// Every dialog of the program, made as its command makes it.
struct DialogsOfTheProgram : ::testing::Test
{
    using Make = std::function<std::unique_ptr<QDialog>()>;

    RecordingPrompts prompts;
    RecordingSessionPrompts sessionPrompts;
    TInstrumentLink link{prompts};
    TSessionController session{link, prompts, sessionPrompts};
    TSettingsTransfer transfer{link, prompts};
    TStatusWait wait{[] { return std::optional<uint32_t>(); }};
    TMenuNode tree;
    TDialogFit fit;

    static std::unique_ptr<QDialog> Cal(IUserPrompts& prompts, TFrmAbsCal::TMode mode)
    {
        auto dialog = std::make_unique<TFrmAbsCal>(prompts);
        dialog->Prepare(mode);
        return dialog;
    }

    std::vector<std::pair<const char*, Make>> All()
    {
        using M = TFrmAbsCal::TMode;
        return {
            {"passcode", [] { return std::make_unique<TFrmPasscode>(TPasscodeQuestion{true}); }},
            {"wrong passcode",
             [] {
                 return std::make_unique<TFrmPasscode>(TPasscodeQuestion{false, true});
             }},
            {"setup level", [] { return std::make_unique<TFrmReadSettings>(); }},
            {"send settings", [this] { return std::make_unique<TFrmSendSettings>(tree); }},
            {"write progress", [this] { return std::make_unique<TFrmTraffic>(transfer); }},
            {"direct zero", [this] { return Cal(prompts, M::DirectZero); }},
            {"direct span", [this] { return Cal(prompts, M::DirectSpan); }},
            {"span", [this] { return Cal(prompts, M::Span); }},
            {"linearisation", [this] { return Cal(prompts, M::Linearisation); }},
            {"calibration wait", [this] { return std::make_unique<TFrmCalWait>(wait); }},
            {"logging", [] { return std::make_unique<TFrmLogDialog>(); }},
            {"chart setup",
             [this] {
                 return std::make_unique<TFrmChartSetup>(
                     prompts, 1, "kg", [] { return std::optional<TTraceExtent>(); });
             }},
            {"chart export", [] { return std::make_unique<TFrmChartExport>(); }},
            {"set clock",
             [this] {
                 return std::make_unique<TFrmSetClock>(link, session, prompts, IPcClock::System());
             }},
            {"print format", [this] { return std::make_unique<TFrmPrintFormat>(prompts); }},
            {"factory results", [this] { return std::make_unique<TFrmFactory>(prompts); }},
            {"about", [] { return std::make_unique<TfrmAbout>(); }},
            {"port", [this] { return std::make_unique<TFrmComDialog>(prompts, QStringList{}); }},
            {"optical link", [] { return std::make_unique<TFrmSilencePrompt>(); }},
        };
    }
};

} // namespace

// No title bar cuts a dialog's title short: each is at least as wide as its title needs, also
// a dialog of fixed size, and after its contents changed.
TEST_F(DialogsOfTheProgram, EachIsWideEnoughForItsTitle)
{
    for (const auto& [name, make] : All()) {
        const std::unique_ptr<QDialog> dialog = make();
        dialog->show();
        const int need = TDialogFit::TitleWidth(dialog->windowTitle(), dialog->font());
        EXPECT_GE(dialog->width(), need) << name << ": " << dialog->windowTitle().toStdString();
        dialog->adjustSize();
        EXPECT_GE(dialog->width(), need) << name << " after adjustSize";
        EXPECT_FALSE(dialog->windowTitle().isEmpty()) << name;
    }
}

// Measured in the dialog's font: a longer title or a larger font needs more room.
TEST(DialogFit, TitleWidthGrowsWithTitleAndFont)
{
    QFont small = QApplication::font();
    small.setPointSize(9);
    QFont large = small;
    large.setPointSize(18);
    const int shortTitle = TDialogFit::TitleWidth("Logging", small);
    const int longTitle = TDialogFit::TitleWidth("Absolute mV/V Calibration", small);
    EXPECT_GT(longTitle, shortTitle);
    EXPECT_GT(TDialogFit::TitleWidth("Logging", large), shortTitle + 100);
}
