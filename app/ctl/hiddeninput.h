#pragma once

#include <QString>

#include <optional>

// A line typed on the terminal without echo, for passcodes.
namespace hiddeninput {

// True when standard input is a terminal someone can type on.
[[nodiscard]] bool StdinIsTerminal();
// Shows the prompt on standard error and reads one line from the terminal with echo off;
// nothing when the user cancelled (Ctrl+C, Ctrl+D) or input ended. The terminal's settings
// are restored however the reading ends.
[[nodiscard]] std::optional<QString> ReadLine(const QString& prompt);

} // namespace hiddeninput
