#include "logs/HistoryLog.h"

#include "engine/MyAmbuloDoc.h"
#include "support/Bytes.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <sys/stat.h>

namespace {

std::vector<int> Fields(const HistoryEntry& e) {
    const platform::SYSTEMTIME& t = e.stStart;
    return {t.wYear,   t.wMonth,  t.wDayOfWeek, t.wDay,     t.wHour,
            t.wMinute, t.wSecond, e.nMetres,    e.nSeconds, e.nKcal10};
}

const std::u16string kHead = u"\uFEFFDataVersion=0.01\r\n日付,時刻,距離(m),時間(秒),消費カロリー(kcal)\r\n";
constexpr char kFile[] = "My Documents/Ambulo/amblHistory.log";

} // namespace

TEST(HistoryLog, AppendWritesTheHeaderOnceAndLoadReadsTheLinesBack) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    std::filesystem::create_directories(t.temp.host() / "My Documents/Ambulo");
    doc.m_stRunStart = {2008, 1, 2, 15, 9, 3, 7, 0};
    doc.m_dblTotalDistance = 1234.9, doc.m_nElapsedSeconds = 600, doc.m_dblTotalKcal = 52.36;
    EXPECT_TRUE(AppendHistory(doc));
    doc.m_stRunStart.wDay = 16, doc.m_dblTotalKcal = 0.04;
    EXPECT_TRUE(AppendHistory(doc));
    const std::string expected =
        Le(kHead + u"2008/01/15,09:03:07,1234,600,52.4\r\n2008/01/16,09:03:07,1234,600,0.0\r\n");
    EXPECT_EQ(t.temp.ReadHostFile(kFile), expected);
    const auto entries = LoadHistory(t.temp.root(), doc.m_strLogFolder);
    ASSERT_TRUE(entries && entries->size() == 2);
    EXPECT_EQ(Fields((*entries)[0]), (std::vector<int>{2008, 1, 0, 15, 9, 3, 7, 1234, 600, 524}));
    EXPECT_EQ(Fields((*entries)[1]), (std::vector<int>{2008, 1, 0, 16, 9, 3, 7, 1234, 600, 0}));

    doc.m_bSaveHistory = 0;
    EXPECT_TRUE(AppendHistory(doc));
    EXPECT_EQ(t.temp.ReadHostFile(kFile), expected);
    doc.m_bSaveHistory = 1;
    t.temp.WriteHostFile(kFile, "123456789"); // too short to hold a header: it is written over
    AppendHistory(doc);
    EXPECT_EQ(t.temp.ReadHostFile(kFile), Le(kHead + u"2008/01/16,09:03:07,1234,600,0.0\r\n"));
    t.temp.WriteHostFile(kFile, "0123456789"); // ten bytes are taken for a header
    AppendHistory(doc);
    EXPECT_EQ(t.temp.ReadHostFile(kFile), "0123456789" + Le(u"2008/01/16,09:03:07,1234,600,0.0\r\n"));
    EXPECT_FALSE(LoadHistory(t.temp.root(), "\\nowhere\\"));
}

// A damaged log still gives an entry for every line, and a line appended after half a character
// at its end stays whole; a FIFO or a device in its place is no log and is never waited on.
TEST(HistoryLog, DamagedOrOddFilesNeitherSpoilNorHangTheLog) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    t.temp.WriteHostFile(kFile, Le(u"\uFEFFDataVersion=9\r\nheader\r\n\r\n2008/01/15,09:03\r\n"
                                   u" 12,x, 99999999999999999999999,-7,1.5.2,3\r\n2008/1/5,9:3:7,1,2,3") +
                                    "\x01");
    doc.m_stRunStart = {2008, 1, 2, 15, 9, 3, 7, 0};
    doc.m_dblTotalDistance = 1000.0, doc.m_nElapsedSeconds = 300, doc.m_dblTotalKcal = 20.0;
    ASSERT_TRUE(AppendHistory(doc));
    const auto entries = LoadHistory(t.temp.root(), doc.m_strLogFolder);
    ASSERT_TRUE(entries && entries->size() == 5);
    EXPECT_EQ(Fields((*entries)[0]), (std::vector<int>(10, 0)));
    EXPECT_EQ(Fields((*entries)[1]), (std::vector<int>{2008, 1, 0, 15, 9, 3, 0, 0, 0, 0}));
    EXPECT_EQ(Fields((*entries)[2]), (std::vector<int>{12, 0, 0, 0, 0, 0, 0, INT_MAX, -7, 152}));
    EXPECT_EQ(Fields((*entries)[3]), (std::vector<int>{2008, 1, 0, 0, 9, 0, 0, 1, 2, 3}));
    EXPECT_EQ(Fields((*entries)[4]), (std::vector<int>{2008, 1, 0, 15, 9, 3, 7, 1000, 300, 200}));

    std::filesystem::remove(t.temp.host() / kFile);
    ASSERT_EQ(::mkfifo((t.temp.host() / kFile).c_str(), 0644), 0);
    EXPECT_FALSE(LoadHistory(t.temp.root(), doc.m_strLogFolder));
    EXPECT_FALSE(AppendHistory(doc));
    std::filesystem::remove(t.temp.host() / kFile);
    std::filesystem::create_symlink("/dev/zero", t.temp.host() / kFile);
    EXPECT_FALSE(LoadHistory(t.temp.root(), doc.m_strLogFolder));
    EXPECT_FALSE(AppendHistory(doc));
}
