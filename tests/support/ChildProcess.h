#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <vector>

// A helper program a test starts (gpsd via gpsfake, a private D-Bus, dbusmock), with its output
// thrown away. It is stopped by its process id when the object goes, so a failing test never
// leaves it behind.
class ChildProcess {
public:
    // Starts the program at the absolute path argv[0], with extra "NAME=value" settings in place of
    // inherited ones.
    explicit ChildProcess(const std::vector<std::string>& argv,
                          const std::vector<std::string>& environment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_pid > 0; }
    pid_t Pid() const { return m_pid; }
    // Whether it has ended by itself (reaps it when so).
    bool Exited();
    // Terminates it (SIGTERM, then SIGKILL after the grace time) and its process group.
    void Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

    // Whether an executable exists at this path.
    static bool Installed(const std::string& path);

private:
    pid_t m_pid = -1;
};

// Polls a condition every few milliseconds until it holds or the time is up.
template <typename Condition> bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
