#include "support/ChildProcess.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment) {
    // The extra settings replace inherited ones of the same name.
    std::map<std::string, std::string> settings;
    for (char** e = environ; *e != nullptr; ++e) {
        settings[std::string(*e, std::strcspn(*e, "="))] = *e;
    }
    for (const auto& e : environment) {
        settings[e.substr(0, e.find('='))] = e;
    }
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& [name, setting] : settings) {
        envp.push_back(setting.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP); // its own group, to stop its children too
    posix_spawnattr_setpgroup(&attributes, 0);
    if (posix_spawn(&m_pid, argv[0].c_str(), &actions, &attributes, args.data(), envp.data()) != 0) {
        m_pid = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    Stop();
}

bool ChildProcess::Exited() {
    if (m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
        ::kill(-m_pid, SIGKILL); // whatever it started goes with it
        m_pid = -1;
    }
    return m_pid <= 0;
}

void ChildProcess::Stop(std::chrono::milliseconds grace) {
    if (m_pid <= 0) {
        return;
    }
    ::kill(-m_pid, SIGTERM);
    if (!WaitFor([this] { return Exited(); }, grace)) {
        ::kill(-m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

bool ChildProcess::Installed(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}
