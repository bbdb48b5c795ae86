#pragma once

#include "support/PrivateBus.h"

// Our GeoClue stand-in (device/geoclue_mock.py) on the private bus, and what the tests tell it.
inline const QString kGeoClue = QStringLiteral("org.freedesktop.GeoClue2");
inline const std::vector<std::string> kGeoclueMock{"--system", "--template", AMBULO_GEOCLUE_TEMPLATE};

inline QDBusMessage TellGeoclue(const QString& method, const QVariantList& arguments) {
    return BusCall(kGeoClue, QStringLiteral("/org/freedesktop/GeoClue2/Manager"),
                   QStringLiteral("org.freedesktop.DBus.Mock"), method, arguments);
}
