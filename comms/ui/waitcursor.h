#pragma once

#include <QCursor>
#include <QGuiApplication>

// The hourglass for the life of a scope: it goes back on every way out, early returns and
// all, and nested scopes stack.
class TWaitCursor
{
public:
    TWaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
