#pragma once

#include <string_view>

namespace platform {

// The program's id on the desktop: the name of its desktop entry (without ".desktop"), of its
// AppStream metainfo and icon, and what it tells the desktop's services it is. The build reads it
// from here to name the installed files.
inline constexpr std::string_view kDesktopId = "io.github.ambulo_gps.Ambulo";

} // namespace platform
