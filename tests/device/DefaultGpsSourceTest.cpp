#include "platform/device/DefaultGpsSource.h"
#include "platform/DesktopId.h"

#include "support/GpsPeers.h"
#include "support/PrivateBus.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class DefaultGpsSourceTest : public PrivateBusTest {
protected:
    // Opens as the tick does until the source named is the one taken.
    bool Takes(const std::string& description) {
        return QTest::qWaitFor([&] { return source.Open() && source.Describe() == description; }, 15000);
    }

    HeldPort port;
    platform::device::DefaultGpsSource source{
        std::make_unique<platform::device::GpsdSource>("127.0.0.1", port.number),
        std::make_unique<platform::device::GeoclueSource>(std::string(platform::kDesktopId))};
};

TEST_F(DefaultGpsSourceTest, GeoclueIsTakenWithoutGpsdAndGpsdWhenItAnswers) {
    EXPECT_FALSE(source.Open());
    EXPECT_EQ(source.Describe(), "自動 (gpsd・GeoClue を探しています)");
    StartMock(kGeoClue, kGeoclueMock);
    ASSERT_TRUE(Takes("自動: GeoClue")) << "GeoClue was not found";

    if (!ChildProcess::Installed("/usr/sbin/gpsd") || !ChildProcess::Installed("/usr/bin/gpsfake")) {
        GTEST_SKIP() << "gpsd and gpsfake (Debian packages gpsd, gpsd-clients) are not installed";
    }
    TempRoot temp;
    std::string log; // five seconds without a fix
    for (int i = 0; i < 50; ++i) {
        log += Sentence("GPRMC,120000.00,V,,,,,,,061226,,,N");
    }
    temp.WriteHostFile("log.nmea", log);
    const auto fake = GpsFake(port, temp.host() / "log.nmea");
    EXPECT_TRUE(Takes("自動: gpsd 127.0.0.1:" + port.number)) << "gpsd was not preferred";
}

} // namespace
