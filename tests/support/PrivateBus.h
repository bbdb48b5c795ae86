#pragma once

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QString>
#include <QVariantList>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// QtDBus connects to the system and the session bus once per process, so every device test uses
// the one private bus the first of them starts; it stands in for both buses and ends with the test
// program. False when it could not be started.
bool UsePrivateBus();

// A blocking call on the (private) system bus, which is also the session bus here.
QDBusMessage BusCall(const QString& service, const QString& path, const QString& interface,
                     const QString& method, const QVariantList& arguments = {});
bool HasOwner(const QString& name);

// The desktop portal of tests/device/mock_portal.py, once started: the window and flags of each
// Inhibit call it received, and how many of its inhibitors are held.
std::vector<std::pair<QString, uint>> PortalInhibitCalls();
int PortalHeldRequests();

// WaitFor that lets Qt deliver D-Bus answers and signals meanwhile, as the program's event loop does.
template <typename Condition> bool WaitWithEvents(Condition condition, std::chrono::milliseconds limit) {
    return WaitFor([&] { return QCoreApplication::processEvents(), condition(); }, limit);
}

// Tests against python3-dbusmock on the private bus: skipped, with the reason, where the peers are
// not installed. StartMock runs "/usr/bin/python3 -m dbusmock ARGUMENTS" and waits until it owns
// its name; TearDown stops it and waits until the name is free for the next test.
class PrivateBusTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void StartMock(const QString& owned, std::vector<std::string> arguments);
    void StopMock();
    void StartMockPortal();

    QString name;
    std::unique_ptr<ChildProcess> mock;
};
