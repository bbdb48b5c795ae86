#include "support/PrivateBus.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

// False when the private bus could not be started.
bool UsePrivateBus() {
    static std::unique_ptr<ChildProcess> daemon;
    if (daemon) {
        return true;
    }
    const std::string address = "unix:abstract=ambulo-test-bus-" + std::to_string(::getpid());
    auto started = std::make_unique<ChildProcess>(std::vector<std::string>{
        "/usr/bin/dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + address});
    const auto connects = [&] {
        const bool connected =
            QDBusConnection::connectToBus(QString::fromStdString(address), QStringLiteral("probe"))
                .isConnected();
        QDBusConnection::disconnectFromBus(QStringLiteral("probe"));
        return connected;
    };
    if (!QTest::qWaitFor([&] { return started->Exited() || connects(); }, 10000) || started->Exited()) {
        return false;
    }
    for (const char* variable : {"DBUS_SYSTEM_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS"}) {
        ::setenv(variable, address.c_str(), 1);
    }
    daemon = std::move(started);
    return true;
}

} // namespace

QDBusMessage BusCall(const QString& service, const QString& path, const QString& interface,
                     const QString& method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    return QDBusConnection::systemBus().call(call, QDBus::Block, 5000);
}

void PrivateBusTest::SetUp() {
    if (!ChildProcess::Installed("/usr/bin/dbus-daemon") || !ChildProcess::Installed("/usr/bin/python3") ||
        !std::filesystem::exists("/usr/lib/python3/dist-packages/dbusmock")) {
        GTEST_SKIP() << "dbus-daemon and python3-dbusmock (Debian packages dbus-daemon, python3-dbusmock) "
                        "are not installed";
    }
    ASSERT_TRUE(UsePrivateBus()) << "the private dbus-daemon did not start";
}

void PrivateBusTest::StartMock(const QString& owned, std::vector<std::string> arguments) {
    name = owned;
    arguments.insert(arguments.begin(), {"/usr/bin/python3", "-m", "dbusmock"});
    mock = std::make_unique<ChildProcess>(arguments);
    ASSERT_TRUE(QTest::qWaitFor([this] { return mock->Exited() || HasOwner(name); }, 15000) &&
                !mock->Exited())
        << "dbusmock did not come up as " << name.toStdString();
}

void PrivateBusTest::StopMock() {
    if (mock) {
        mock.reset();
        // The next test must not meet this peer on its way out.
        EXPECT_TRUE(QTest::qWaitFor([this] { return !HasOwner(name); }, 5000));
    }
}
