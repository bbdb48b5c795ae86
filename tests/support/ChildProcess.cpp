#include "support/ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    for (auto& entry : env) {
        if (entry.rfind("PATH=", 0) == 0) {
            entry += ":/usr/sbin:/sbin";
        }
    }
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
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
    pid_t pid = -1;
    // PATH as the child will see it, so that programs in /usr/sbin are found.
    std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin";
    path += ":/usr/sbin:/sbin";
    for (std::size_t begin = 0; pid < 0 && begin <= path.size();) {
        const std::size_t end = std::min(path.find(':', begin), path.size());
        const std::string candidate = argv[0].find('/') != std::string::npos
                                          ? argv[0]
                                          : path.substr(begin, end - begin) + "/" + argv[0];
        if (::access(candidate.c_str(), X_OK) == 0 &&
            posix_spawn(&pid, candidate.c_str(), &actions, &attributes, args.data(), envp.data()) != 0) {
            pid = -1;
        }
        if (argv[0].find('/') != std::string::npos) {
            break;
        }
        begin = end + 1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    m_pid = pid;
}

ChildProcess::~ChildProcess() {
    Stop();
}

bool ChildProcess::Exited() {
    if (m_pid <= 0) {
        return true;
    }
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        ::kill(-m_pid, SIGKILL); // whatever it started goes with it
        m_pid = -1;
        return true;
    }
    return false;
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
