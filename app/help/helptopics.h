#pragma once

#include <QString>

#include <span>

class QWidget;

// Which page of the manual F1 opens: each tab and dialog of the program has a page of its
// own, named here by the class of its widget.
namespace helptopics {

struct TTopic
{
    const char* className;
    const char* page;
};

[[nodiscard]] std::span<const TTopic> Topics();
// The page of the tab or dialog `widget` is part of: the nearest enclosing one with a page,
// a window's tab in front when the widget lies outside the tabs (the tool bar, the tab bar),
// and for a message box the window it belongs to. The contents page when none has one.
[[nodiscard]] QString PageFor(const QWidget* widget);

} // namespace helptopics
