#pragma once

#include "activity.h"
#include "page.h"

#include <QWidget>

#include <functional>

// A tab without work of its own yet: its caption, when it is shown, and the activity code
// received messages carry while it is in front (nothing is polled).
class TPlainPage : public QWidget, public IPage, public IActivity
{
    Q_OBJECT
public:
    using ShownRule = std::function<bool(const TLinkState&)>;

    TPlainPage(const char* objectName, const char* caption, int activityCode, ShownRule shown,
               QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    const char* Caption() const override { return m_caption; }
    IActivity* Activity() override { return this; }
    bool ShownIn(const TLinkState& state) const override { return m_shown(state); }

    int ActivityCode() const override { return m_activityCode; }
    void MessageReceived(const Tcommsobj&, bool) override {}

private:
    const char* m_caption;
    int m_activityCode;
    ShownRule m_shown;
};
