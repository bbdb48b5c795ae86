#include "platform/DesktopId.h"
#include "platform/device/DefaultGpsSource.h"

#include "support/GeoclueStandIn.h"
#include "support/GpsPeers.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class DefaultGpsSourceTest : public PrivateBusTest {
protected:
    bool Opens() {
        return WaitWithEvents([&] { return source.Open() != nullptr; }, 15s);
    }

    std::string port = FreePort();
    platform::device::DefaultGpsSource source{
        std::make_unique<platform::device::GpsdSource>("127.0.0.1", port),
        std::make_unique<platform::device::GeoclueSource>(std::string(platform::kDesktopId))};
};

TEST_F(DefaultGpsSourceTest, WithNeitherNothingOpens) {
    EXPECT_FALSE(source.Open());
    EXPECT_EQ(source.Describe(), "自動 (gpsd・GeoClue を探しています)");
}

TEST_F(DefaultGpsSourceTest, GpsdIsTakenWhenItAnswers) {
    if (!ChildProcess::Installed("/usr/sbin/gpsd") || !ChildProcess::Installed("/usr/bin/gpsfake")) {
        GTEST_SKIP() << "gpsd and gpsfake (Debian packages gpsd, gpsd-clients) are not installed";
    }
    TempRoot temp;
    temp.WriteHostFile("log.nmea", Sentence("GPRMC,120000.00,V,,,,,,,061226,,,N"));
    const auto fake = GpsFake(port, temp.host() / "log.nmea");
    ASSERT_TRUE(Opens()) << "gpsd was not found";
    EXPECT_EQ(source.Describe(), "自動: gpsd 127.0.0.1:" + port);
}

TEST_F(DefaultGpsSourceTest, GeoclueIsTakenWithoutGpsd) {
    StartMock(kGeoClue, kGeoclueMock);
    ASSERT_TRUE(Opens()) << "GeoClue was not found";
    EXPECT_EQ(source.Describe(), "自動: GeoClue");
}

} // namespace
