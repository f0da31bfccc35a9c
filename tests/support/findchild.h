#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

// The child of `parent` with that object name, as the user sees it; a test that looks for
// one that is not there fails with its name (the exception ends just that test).
template <class T> T* Child(const QObject* parent, const QString& name = {})
{
    T* child = parent->findChild<T*>(name);
    if (!child)
        throw std::runtime_error("no child named \"" + name.toStdString() + "\"");
    return child;
}
