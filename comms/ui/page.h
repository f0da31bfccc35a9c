#pragma once

#include <QString>

#include <functional>

class IActivity;
class QWidget;

// File > Open, Save, Print and Print Preview while a page is in front. Pages without files of
// their own leave these to the settings file commands.
class IFileCommands
{
public:
    using FileShown = std::function<void(const QString& path)>;

    virtual ~IFileCommands() = default;
    virtual void Open1Click() = 0;
    virtual void Save1Click() = 0;
    virtual void Print1Click(bool preview) = 0;
    // Opens `path` as Open does once the file is chosen (File > Recent Files).
    virtual void OpenFile(const QString& path) = 0;

    // `shown` is told the path of each file these commands opened or saved, and an empty path
    // once what they show is no longer a file's (a new log run).
    void OnFileShown(FileShown shown) { m_shown = std::move(shown); }

protected:
    void TellFileShown(const QString& path) const
    {
        if (m_shown)
            m_shown(path);
    }

private:
    FileShown m_shown;
};

// The window's menus, tool bar and tabs around a long operation (a calibration wait, a log
// run), so that nothing else can start meanwhile.
class IMainControls
{
public:
    virtual ~IMainControls() = default;
    // `keepPages`: the tabs stay usable (the operation runs on the page in front, which
    // refuses to be left meanwhile).
    virtual void LockMainControls(bool keepPages) = 0;
    virtual void UnlockMainControls() = 0;
};

// What the main window shows of the link: connected, the setup session's level, and whether
// a long operation (a job) holds the link, so that nothing else may talk to the instrument.
struct TLinkState
{
    bool connected = false;
    bool session = false;
    bool full = false;
    bool job = false;

    bool operator==(const TLinkState&) const = default;
};

// One tab of the main window as the window sees it: the widget, when the tab is shown, what
// is polled while it is in front, and what it does when it comes to the front or the link
// changes. The window creates the pages, puts them in its tabs and forwards these events;
// the work is the page's own.
class IPage
{
public:
    virtual ~IPage() = default;
    [[nodiscard]] virtual QWidget* Widget() = 0;
    // The tab's caption.
    [[nodiscard]] virtual const char* Caption() const = 0;
    // What the engine polls and where messages go while the page is in front; none: nothing.
    [[nodiscard]] virtual IActivity* Activity() { return nullptr; }
    [[nodiscard]] virtual bool ShownIn(const TLinkState&) const { return true; }
    // The page came to the front, or went behind another.
    virtual void Entered() {}
    virtual void Left() {}
    // False refuses a change to another tab (a running log).
    [[nodiscard]] virtual bool CanLeave() const { return true; }
    // Asked before the program ends or the link changes; false keeps things as they are
    // (unsaved data the user chose to keep).
    [[nodiscard]] virtual bool CanClose() { return true; }
    // File commands of its own, while it is in front.
    [[nodiscard]] virtual IFileCommands* Files() { return nullptr; }
    virtual void LinkChanged(const TLinkState&) {}
};
