#include "helptopics.h"

#include "helpmanual.h"

#include <QTabWidget>

#include <array>
#include <cstring>

namespace helptopics {

namespace {

constexpr std::array<TTopic, 23> kTopics{{
    // The main window's tabs.
    {"TDisplayPage", "display-tab.md"},
    {"TCalibrationPage", "calibration-tab.md"},
    {"TSettingsPage", "settings-tab.md"},
    {"TLogPage", "log-tab.md"},
    {"TTerminalPage", "test-tab.md"},
    // Connecting.
    {"TFrmComDialog", "port-dialog.md"},
    {"TFrmSilencePrompt", "optical-link-prompt.md"},
    // Setup sessions and settings files.
    {"TFrmReadSettings", "setup-level-dialog.md"},
    {"TFrmPasscode", "passcode-dialog.md"},
    {"TFrmSendSettings", "send-settings-dialog.md"},
    {"TFrmTraffic", "write-progress-dialog.md"},
    {"TFrmCompare", "compare-dialog.md"},
    // Calibration.
    {"TFrmAbsCal", "calibration-entry-dialog.md"},
    {"TFrmCalWait", "calibration-wait-dialog.md"},
    // Logging.
    {"TFrmLogDialog", "logging-dialog.md"},
    {"TFrmChartSetup", "chart-setup-dialog.md"},
    {"TFrmChartExport", "chart-export-dialog.md"},
    // Utilities.
    {"TFrmSetClock", "set-clock-dialog.md"},
    {"TFrmPrintFormat", "print-format-dialog.md"},
    {"TFrmFactory", "factory-results-dialog.md"},
    {"TfrmAbout", "about-dialog.md"},
    // Qt's own windows, and the help itself.
    {"QPrintPreviewDialog", "printing.md"},
    {"THelpWindow", "help-window.md"},
}};

const char* OwnPage(const QWidget* widget)
{
    const char* name = widget->metaObject()->className();
    for (const TTopic& topic : kTopics) {
        if (std::strcmp(topic.className, name) == 0)
            return topic.page;
    }
    return nullptr;
}

// The page of the tab in front of a window, when it has one.
const char* TabPage(const QWidget* window)
{
    for (const QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        if (const QWidget* front = tabs->currentWidget(); front && tabs->isVisible()) {
            if (const char* page = OwnPage(front))
                return page;
        }
    }
    return nullptr;
}

} // namespace

std::span<const TTopic> Topics()
{
    return kTopics;
}

QString PageFor(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (const char* page = OwnPage(w))
            return QLatin1String(page);
        if (const char* tab = w->isWindow() ? TabPage(w) : nullptr)
            return QLatin1String(tab);
    }
    return QLatin1String(helpmanual::kContents);
}

} // namespace helptopics
