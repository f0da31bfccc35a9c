#pragma once

// The Log page against the simulated instrument on a pseudo-terminal, wired as the main
// window wires it (the engine's activity, the page in front), with a recording window frame
// and prompts that answer from queues. Shared by the page tests and their child program.
#include "commsengine.h"
#include "findchild.h"
#include "logdialog.h"
#include "logpage.h"
#include "pdfprompts.h"
#include "recordingprompts.h"
#include "ringnetwork.h"
#include "simpty.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

// The window frame as the page sees it: what it was asked to lock and unlock.
class TRecordingControls : public IMainControls
{
public:
    std::vector<bool> locks; // keepPages of every LockMainControls
    int unlocks = 0;
    bool locked = false;

    void LockMainControls(bool keepPages) override
    {
        locks.push_back(keepPages);
        locked = true;
    }
    void UnlockMainControls() override
    {
        ++unlocks;
        locked = false;
    }
};

// Acts on the next modal dialog once it is shown, as a user would (exec() waits for one).
inline void WhenModal(const std::function<void(QWidget*)>& act, int timeoutMs = 5000)
{
    auto* timer = new QTimer(qApp);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, [timer, act, deadline] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (modal)
            act(modal);
    });
    timer->start(5);
}

// Chooses in the Logging dialog as a user would and presses Ok (or Cancel).
inline void AnswerLogDialog(int rate, const std::array<int, 4>& channels, bool ok = true)
{
    WhenModal([=](QWidget* dialog) {
        Child<QComboBox>(dialog, "CBLogRate")->setCurrentIndex(rate);
        const char* names[] = {"CBxDig1", "CBxDig2", "CBxDig3", "CBxDig4"};
        for (size_t k = 0; k < channels.size(); ++k)
            Child<QComboBox>(dialog, names[k])->setCurrentIndex(channels[k]);
        Child<QPushButton>(dialog, ok ? "BtnOk" : "BtnCancel")->click();
    });
}

class TLogRig
{
public:
    TLogRig(const TSimOptions& options, const QString& dataFolder, const QString& pdfPath)
        : sim(std::make_unique<TSimPty>(options)), print(pdfPath), m_dataFolder(dataFolder)
    {
    }

    // Opens the line and makes the page; an error text, or empty.
    QString Open()
    {
        QString path, error;
        if (!sim->Open(&path, &error))
            return error;
        engine = std::make_unique<TCommsEngine>(ring, prompts);
        engine->SetInstrumentAddress(1);
        TLineSettings line;
        line.portName = path;
        line.baud = 38400;
        error = engine->Open(line);
        if (!error.isEmpty())
            return error;
        page = std::make_unique<TLogPage>(*engine, controls, prompts, print, m_dataFolder);
        page->resize(900, 600);
        page->show();
        engine->SetActivity(page->Activity());
        page->Entered();
        return {};
    }

    QPushButton* Button(const char* name) const { return Child<QPushButton>(page.get(), name); }

    // Starts a run and returns once it has ended. The run's loop holds the event loop, so
    // `stopWhen` is checked every 10 ms from inside it and presses Stop once it holds (or
    // once the time is up).
    void Run(const std::function<bool()>& stopWhen, int timeoutMs = 30000)
    {
        QTimer watch;
        const QDeadlineTimer deadline(timeoutMs);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (page->LogRunning() && (stopWhen() || deadline.hasExpired()))
                Button("BtnStop")->click();
        });
        watch.start(10);
        Button("BtnStart")->click();
    }

    std::unique_ptr<TSimPty> sim;
    TRingNetwork ring;
    RecordingPrompts prompts;
    PdfPrompts print;
    TRecordingControls controls;
    std::unique_ptr<TCommsEngine> engine;
    std::unique_ptr<TLogPage> page;

private:
    QString m_dataFolder;
};
