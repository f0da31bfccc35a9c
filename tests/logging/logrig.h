#pragma once

// The Log page against the simulated instrument on a pseudo-terminal, wired as the main
// window wires it (the engine's activity, the page in front), with a recording window frame
// and prompts that answer from queues. Shared by the page tests and their child program.
#include "eventwait.h"
#include "findchild.h"
#include "instrumentlink.h"
#include "logdialog.h"
#include "logpage.h"
#include "modaldriver.h"
#include "pdfprompts.h"
#include "recordingprompts.h"
#include "simpty.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

// The window's commands as the link's jobs lock and unlock them: the job of every lock.
class TRecordingControls
{
public:
    std::vector<TJobKind> locks;
    int unlocks = 0;
    bool locked = false;

    void Follow(TInstrumentLink& link)
    {
        QObject::connect(&link, &TInstrumentLink::JobChanged, [this, &link] {
            if (link.JobRunning() == locked)
                return;
            locked = link.JobRunning();
            if (locked)
                locks.push_back(link.JobKind());
            else
                ++unlocks;
        });
    }
};

// Chooses in the Logging dialog as a user would and presses Ok (or Cancel).
inline void AnswerLogDialog(int rate, const std::array<int, 4>& channels, bool ok = true)
{
    WhenShown<QWidget>([=](QWidget& dialog) {
        Child<QComboBox>(&dialog, "CBLogRate")->setCurrentIndex(rate);
        const char* names[] = {"CBxDig1", "CBxDig2", "CBxDig3", "CBxDig4"};
        for (size_t k = 0; k < channels.size(); ++k)
            Child<QComboBox>(&dialog, names[k])->setCurrentIndex(channels[k]);
        Child<QPushButton>(&dialog, ok ? "BtnOk" : "BtnCancel")->click();
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
        link = std::make_unique<TInstrumentLink>(prompts);
        TPortChoice choice;
        choice.portName = path;
        choice.cable = TPortChoice::RS232;
        choice.address = 1;
        choice.baud = 4; // 38400
        error = link->Open(choice);
        if (!error.isEmpty())
            return error;
        engine = &link->Engine();
        controls.Follow(*link);
        page = std::make_unique<TLogPage>(*link, prompts, print, m_dataFolder);
        page->resize(900, 600);
        page->show();
        engine->SetActivity(page->Activity());
        page->Entered();
        return {};
    }

    QPushButton* Button(const char* name) const { return Child<QPushButton>(page.get(), name); }

    // Starts a run and returns once it has ended. `stopWhen` is checked every 10 ms while it
    // runs and presses Stop once it holds (or once the time is up).
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
        RunUntil([this] { return !page->LogRunning() && !link->JobRunning(); }, timeoutMs + 5000);
    }

    std::unique_ptr<TSimPty> sim;
    RecordingPrompts prompts;
    PdfPrompts print;
    TRecordingControls controls;
    std::unique_ptr<TInstrumentLink> link;
    TCommsEngine* engine = nullptr;
    std::unique_ptr<TLogPage> page;

private:
    QString m_dataFolder;
};
