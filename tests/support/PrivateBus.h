#pragma once

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <memory>
#include <string>
#include <vector>

// A blocking call on the (private) system bus, which is also the session bus here.
QDBusMessage BusCall(const QString& service, const QString& path, const QString& interface,
                     const QString& method, const QVariantList& arguments = {});
inline bool HasOwner(const QString& name) {
    return QDBusConnection::systemBus().interface()->isServiceRegistered(name);
}

// Tests against python3-dbusmock on a private bus: skipped, with the reason, where the peers are
// not installed. QtDBus connects to the system and the session bus once per process, so every test
// uses the one private bus the first of them starts; it stands in for both buses and ends with the
// test program. StartMock runs "/usr/bin/python3 -m dbusmock ARGUMENTS" and waits until it owns its
// name; TearDown stops it and waits until the name is free for the next test.
class PrivateBusTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { StopMock(); }
    void StartMock(const QString& owned, std::vector<std::string> arguments);
    void StopMock();

    QString name;
    std::unique_ptr<ChildProcess> mock;
};

// Our GeoClue stand-in (device/geoclue_mock.py) on the private bus, and what the tests tell it.
inline const QString kGeoClue = QStringLiteral("org.freedesktop.GeoClue2");
inline const std::vector<std::string> kGeoclueMock{"--system", "--template", AMBULO_GEOCLUE_TEMPLATE};

inline QDBusMessage TellGeoclue(const QString& method, const QVariantList& arguments) {
    return BusCall(kGeoClue, QStringLiteral("/org/freedesktop/GeoClue2/Manager"),
                   QStringLiteral("org.freedesktop.DBus.Mock"), method, arguments);
}
