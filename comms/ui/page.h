#pragma once

class IActivity;
class QWidget;

// What the main window shows of the link: connected, and the setup session's level.
struct TLinkState
{
    bool connected = false;
    bool session = false;
    bool full = false;

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
    virtual void LinkChanged(const TLinkState&) {}
};
