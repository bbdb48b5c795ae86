#include "platform/DeviceRoot.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace platform {

namespace {

std::string_view Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

} // namespace

DeviceRoot::DeviceRoot(std::filesystem::path hostFolder) : m_host(std::move(hostFolder)) {}

DeviceRoot DeviceRoot::FromEnvironment() {
    if (const auto root = Env("AMBULO_ROOT"); !root.empty()) {
        return DeviceRoot(std::filesystem::path(root));
    }
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    if (const auto data = Env("XDG_DATA_HOME"); !data.empty() && data.front() == '/') {
        return DeviceRoot(std::filesystem::path(data) / "ambulo");
    }
    if (const auto home = Env("HOME"); !home.empty()) {
        return DeviceRoot(std::filesystem::path(home) / ".local" / "share" / "ambulo");
    }
    return DeviceRoot(std::filesystem::current_path() / "ambulo");
}

std::optional<std::filesystem::path> DeviceRoot::ToHost(std::string_view devicePath) const {
    std::vector<std::string_view> parts;
    std::size_t begin = 0;
    while (begin <= devicePath.size()) {
        std::size_t end = devicePath.find_first_of("\\/", begin);
        if (end == std::string_view::npos) {
            end = devicePath.size();
        }
        const std::string_view part = devicePath.substr(begin, end - begin);
        if (part.find('\0') != std::string_view::npos) {
            return std::nullopt;
        }
        if (part == "..") {
            if (parts.empty()) {
                return std::nullopt; // refused, never clamped to the root
            }
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        begin = end + 1;
    }
    std::filesystem::path host = m_host;
    for (const auto part : parts) {
        host /= std::filesystem::path(part);
    }
    return host;
}

} // namespace platform
