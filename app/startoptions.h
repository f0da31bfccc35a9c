#pragma once

#include "serialports.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for at start: the built-in simulated instrument, or a port to
// connect to without the dialog.
struct TStartOptions : TPortOverrides
{
    bool simulator = false;
    bool connect = false;
    QString error; // a bad option: the text to show, nothing else is done

    [[nodiscard]] bool WantsConnection() const { return simulator || connect || !port.isEmpty(); }
};

namespace startoptions {

// Adds the options to a parser's help and reads them from the arguments.
[[nodiscard]] TStartOptions Parse(const QStringList& arguments, QString* helpText = nullptr);

} // namespace startoptions
