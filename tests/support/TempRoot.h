#pragma once

#include "platform/DeviceRoot.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A fresh device root in a temporary host folder, removed again with everything in it.
class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    platform::DeviceRoot& root() { return m_root; }
    const std::filesystem::path& host() const { return m_root.HostFolder(); }

    // Host-side access for arranging and inspecting files behind the program's back.
    void WriteHostFile(const std::filesystem::path& relative, std::string_view bytes) const;
    std::string ReadHostFile(const std::filesystem::path& relative) const;

private:
    platform::DeviceRoot m_root;
};

// Sets (or with nothing, unsets) an environment variable until the end of the scope; setting TZ
// also switches the process's time zone.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    static void Put(const char* name, const std::optional<std::string>& value);

    const char* m_name;
    std::optional<std::string> m_previous;
};
