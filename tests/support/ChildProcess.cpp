#include "support/ChildProcess.h"

#include <csignal>
#include <unistd.h>

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment) {
    QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
    for (const auto& e : environment) {
        settings.insert(QString::fromStdString(e.substr(0, e.find('='))),
                        QString::fromStdString(e.substr(e.find('=') + 1)));
    }
    setProcessEnvironment(settings);
    setProgram(QString::fromStdString(argv[0]));
    for (auto a = argv.begin() + 1; a != argv.end(); ++a) {
        setArguments(arguments() << QString::fromStdString(*a));
    }
    setStandardInputFile(nullDevice());
    setStandardOutputFile(nullDevice());
    setStandardErrorFile(nullDevice());
    setChildProcessModifier([] { ::setpgid(0, 0); });
    start();
    if (waitForStarted()) {
        m_group = processId();
    }
}

void ChildProcess::Stop() {
    if (m_group == 0) {
        return;
    }
    ::kill(-m_group, SIGTERM);
    waitForFinished(2000);
    ::kill(-m_group, SIGKILL); // whatever did not end, and what it started
    waitForFinished(-1);
    m_group = 0;
}

bool ChildProcess::Installed(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}
