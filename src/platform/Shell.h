#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Hands a file (a device path) to the desktop's handler for its type: the help page to the
// browser, a KML route to a map program. Whether anything opened is not reported.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void Open(std::string_view devicePath) = 0;
};

// Opens nothing and remembers what it was asked to open.
class RecordingShell final : public Shell {
public:
    void Open(std::string_view devicePath) override { opened.emplace_back(devicePath); }

    std::vector<std::string> opened;
};

} // namespace platform
