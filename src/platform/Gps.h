#pragma once

#include "platform/SystemTime.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Validity bits of GPS_POSITION::dwValidFields.
inline constexpr std::uint32_t GPS_VALID_UTC_TIME = 0x1;
inline constexpr std::uint32_t GPS_VALID_LATITUDE = 0x2;
inline constexpr std::uint32_t GPS_VALID_LONGITUDE = 0x4;
inline constexpr std::uint32_t GPS_VALID_SPEED = 0x8;
inline constexpr std::uint32_t GPS_VALID_ALTITUDE_WRT_SEA_LEVEL = 0x40;
inline constexpr std::uint32_t GPS_VALID_ALTITUDE_WRT_ELLIPSOID = 0x80;

// One fix as a receiver reports it.
struct GPS_POSITION {
    std::uint32_t dwValidFields = 0;
    SYSTEMTIME stUTCTime{};
    double dblLatitude = 0.0;  // degrees, south negative
    double dblLongitude = 0.0; // degrees, west negative
    float flSpeed = 0.0F;      // knots
    float flAltitudeWRTSeaLevel = 0.0F;
    float flAltitudeWRTEllipsoid = 0.0F;
};

// Value of both GPS_DEVICE states when on.
inline constexpr std::uint32_t GPS_STATE_ON = 1;

struct GPS_DEVICE {
    std::uint32_t dwServiceState = 0; // the positioning service runs
    std::uint32_t dwDeviceState = 0;  // a receiver is attached and active
};

// An open connection to a receiver. Destroying it releases it, also after a failed Close.
class GpsConnection {
public:
    virtual ~GpsConnection() = default;
    virtual bool Close() = 0;
    virtual bool GetDeviceState(GPS_DEVICE& device) = 0;
    // The latest fix received at most maxAgeMs ago; a fix whose fields are not known leaves their
    // validity bits clear. False only when the connection itself failed.
    virtual bool GetPosition(GPS_POSITION& position, std::uint32_t maxAgeMs) = 0;
};

// Where positions come from: a receiver service or a recorded log.
class GpsSource {
public:
    virtual ~GpsSource() = default;
    // A new connection, or nothing when the source cannot be opened.
    virtual std::unique_ptr<GpsConnection> Open() = 0;
    // What the user is told the positions come from ("gpsd localhost:2947"); empty when nothing
    // needs saying.
    virtual std::string Describe() const { return {}; }
};

// Bluetooth radio modes.
inline constexpr int BTH_POWER_OFF = 0;
inline constexpr int BTH_CONNECTABLE = 1;
inline constexpr int BTH_DISCOVERABLE = 2;

class BluetoothRadio {
public:
    virtual ~BluetoothRadio() = default;
    // The current mode, or nothing when it cannot be read.
    virtual std::optional<int> GetMode() = 0;
    virtual bool SetMode(int mode) = 0;
};

// A machine without a Bluetooth radio: its mode cannot be read, so it counts as off.
class NoRadio final : public BluetoothRadio {
public:
    std::optional<int> GetMode() override { return std::nullopt; }
    bool SetMode(int /*mode*/) override { return false; }
};

} // namespace platform
