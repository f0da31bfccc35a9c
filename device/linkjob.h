#pragma once

#include <QString>

#include <functional>

// The long operations that take the instrument link over for a while.
enum class TJobKind
{
    None,
    ExpandAll,       // reading a menu and every menu below it
    Refresh,         // reading one menu again
    SendSettings,    // a settings file's writes
    CalibrationWait, // following the instrument's calibration status
    LogRun,          // reading log samples back to back
    Clock            // the clock dialog, polling the instrument's clock
};

// How a job ended.
enum class TJobEnd
{
    Done,      // its work is finished
    Cancelled, // the user, or a command that needed the link, ended it
    LinkLost   // the port went away under it
};

// One long operation on the instrument link, done a step at a time from the event loop, so
// that the user's input between steps is handled at the top, never inside a request: the
// job's own Cancel ends it, End Session, Disconnect and Exit end it before they run, and every
// other command that would talk to the instrument waits until it is over. A job whose window
// runs by itself (a modal dialog) is held instead of stepped.
class ILinkJob
{
public:
    enum class TStep
    {
        More,
        Done
    };

    virtual ~ILinkJob() = default;
    [[nodiscard]] virtual TJobKind Kind() const = 0;
    // What the status bar says of it while it runs ("Reading menus: 12 of 40").
    [[nodiscard]] virtual QString Progress() const = 0;
    // One piece of the work: a few requests at most.
    virtual TStep Step() { return TStep::Done; }
    // False: the job is not stepped; its holder runs it and lets go of the link.
    [[nodiscard]] virtual bool Stepped() const { return true; }
    // Ticks of the link's clock to let pass before the next step.
    [[nodiscard]] virtual int PauseTicks() const { return 0; }
    // Milliseconds to let pass before each step (a pace the instrument is used to).
    [[nodiscard]] virtual int PauseMs() const { return 0; }
    // The link asks the job to end; a held job closes its window.
    virtual void EndRequested() {}
    // The job is over and the link is free again; the link forgets the job right after.
    virtual void Ended(TJobEnd) {}
};

// A job whose window runs by itself, held for as long as its holder lives.
class THeldJob : public ILinkJob
{
public:
    // `onEnd`: how the holder is told to close its window.
    THeldJob(TJobKind kind, QString progress, std::function<void()> onEnd)
        : m_kind(kind), m_progress(std::move(progress)), m_onEnd(std::move(onEnd))
    {
    }
    [[nodiscard]] TJobKind Kind() const override { return m_kind; }
    [[nodiscard]] QString Progress() const override { return m_progress; }
    [[nodiscard]] bool Stepped() const override { return false; }
    void EndRequested() override
    {
        if (m_onEnd)
            m_onEnd();
    }

private:
    TJobKind m_kind;
    QString m_progress;
    std::function<void()> m_onEnd;
};
