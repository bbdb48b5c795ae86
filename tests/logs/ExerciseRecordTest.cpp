#include "logs/ExerciseRecord.h"

#include "support/Bytes.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

auto Fields(const ExerciseRecord& r) {
    return std::tie(r.nVersion, r.strTitle, r.strDistance, r.nSeconds, r.strKcal, r.strAvgSpeed,
                    r.nMaxSpeed10);
}

} // namespace

TEST(ExerciseRecord, WritesSevenLinesAndReadsThemBack) {
    TempRoot temp;
    const ExerciseRecord record{1, "20080115-090307", "1234 ", 600, "52.4 ", "7.4", 123};
    ASSERT_TRUE(WriteExerciseRecord(temp.root(), "\\r.hol", record));
    EXPECT_EQ(temp.ReadHostFile("r.hol"),
              Le(u"\uFEFFDataVersion=001\r\nタイトル＝20080115-090307\r\n総距離＝1234 \r\n"
                 u"時間＝600\r\n消費カロリー＝52.4 \r\n平均速度＝7.4\r\n最大速度＝12.3\r\n"));
    const auto read = ReadExerciseRecord(temp.root(), "\\r.hol");
    ASSERT_TRUE(read);
    EXPECT_EQ(Fields(*read), Fields(record)); // 600 s shows as "0:10:00 ", 12.3 as 123 tenths
    EXPECT_FALSE(ReadExerciseRecord(temp.root(), "\\missing.hol"));
}

TEST(ExerciseRecord, ReaderToleratesCutFilesAndMissingKeys) {
    TempRoot temp;
    // A title that looks like a key, no distance, a file cut in the time value with an odd byte.
    temp.WriteHostFile("cut.hol", Le(u"\uFEFFDataVersion=7\r\nタイトル＝x時間＝1\r\n時間＝42") + "9");
    auto read = ReadExerciseRecord(temp.root(), "\\cut.hol");
    ASSERT_TRUE(read);
    EXPECT_EQ(Fields(*read), std::make_tuple(7, "x時間＝1", "", 42, "", "", 0));

    // Only the first 1024 bytes count: the mark and 511 characters, which end inside the title.
    temp.WriteHostFile("long.hol", Le(u"\uFEFFDataVersion=001\r\nタイトル＝" + std::u16string(600, u'a') +
                                      u"\r\n総距離＝1 \r\n時間＝1\r\n最大速度＝1.0\r\n"));
    read = ReadExerciseRecord(temp.root(), "\\long.hol");
    ASSERT_TRUE(read);
    EXPECT_EQ(Fields(*read), std::make_tuple(1, std::string(511 - 17 - 5, 'a'), "", 0, "", "", 0));
}
