#pragma once

#include <QProcess>
#include <QTest> // qWaitFor, the bounded wait of the tests that start helpers

#include <string>
#include <vector>

// A helper program a test starts (gpsd via gpsfake, a private D-Bus, dbusmock), with its output
// thrown away. It leads a process group of its own, and the whole group is stopped when the object
// goes, so a failing test leaves behind neither it nor what it started.
class ChildProcess : public QProcess {
public:
    // Starts the program at the absolute path argv[0], with extra "NAME=value" settings in place of
    // inherited ones.
    explicit ChildProcess(const std::vector<std::string>& argv,
                          const std::vector<std::string>& environment = {});
    ~ChildProcess() override { Stop(); }

    // Whether it has ended by itself, or never started.
    bool Exited() { return state() == NotRunning || waitForFinished(0); }
    // Terminates its group: SIGTERM, then SIGKILL for what is left two seconds later.
    void Stop();

    // Whether an executable exists at this path.
    static bool Installed(const std::string& path);

private:
    qint64 m_group = 0;
};
