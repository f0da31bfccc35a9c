#pragma once

#include <QIcon>

// The tool bar's icons, drawn as shapes rather than pictures so that they are sharp at any
// size and screen scale; their outlines take the palette's text colour, so they read on a dark
// palette as on a light one.
namespace toolicons {

[[nodiscard]] QIcon Open();
[[nodiscard]] QIcon Save();
[[nodiscard]] QIcon Connect();
[[nodiscard]] QIcon StartSession();
[[nodiscard]] QIcon EndSession();

} // namespace toolicons
