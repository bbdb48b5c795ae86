#pragma once

#include "platform/DeviceRoot.h"

#include <filesystem>
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

    // Host-side helpers for arranging and inspecting files behind the program's back.
    void WriteHostFile(const std::filesystem::path& relative, std::string_view bytes) const;
    std::string ReadHostFile(const std::filesystem::path& relative) const;

private:
    platform::DeviceRoot m_root;
};

// Sets TZ for the lifetime of the object and restores the previous zone after.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool m_hadZone = false;
    std::string m_previous;
};
