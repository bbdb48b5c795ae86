#include "logs/RecoveryJournal.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace {

JournalState Sample() {
    JournalState s;
    s.phase = JournalState::Phase::Resting;
    s.runName = "20080115-093001";
    s.runStart = {2008, 1, 2, 15, 9, 30, 1, 0};
    s.written = {2008, 1, 2, 15, 10, 2, 3, 456};
    s.distanceText = "1234 ";
    s.elapsedText = "0:10:05 ";
    s.kcalText = "52.4 ";
    s.totalDistance = 1234.5678901234567;
    s.elapsedSeconds = 605;
    s.totalKcal = 52.36;
    s.maxSpeed10 = 64;
    s.anyFix = true;
    s.posStart = {0xCF, {2008, 1, 2, 15, 0, 30, 1, 250}, 35.0000001, -139.1234567, 2.7F, 40.5F, 79.25F};
    s.posEnd = {0x0F, {2008, 1, 2, 15, 0, 40, 5, 0}, -35.5, 139.75, 0.1F, 0.0F, 0.0F};
    s.minLat = -35.5, s.maxLat = 35.0000001, s.minLon = -139.1234567, s.maxLon = 139.75;
    s.checkpoints = {{{2008, 1, 2, 15, 9, 30, 1, 0}, 35.0, -139.1, 40.5, 0.0, 0, 0.0},
                     {{2008, 1, 2, 15, 9, 35, 1, 0}, 35.1, -139.2, 0.0, 600.25, 300, 25.125}};
    s.trackLogLines = 433;
    return s;
}

} // namespace

TEST(RecoveryJournal, EveryFieldComesBackExactly) {
    const JournalState s = Sample();
    const auto back = DecodeJournal(EncodeJournal(s));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->phase, s.phase);
    EXPECT_EQ(back->runName, s.runName);
    EXPECT_EQ(back->runStart, s.runStart);
    EXPECT_EQ(back->written, s.written);
    EXPECT_EQ(back->distanceText + back->elapsedText + back->kcalText, "1234 0:10:05 52.4 "); // blanks kept
    EXPECT_EQ(back->totalDistance, s.totalDistance);
    EXPECT_EQ(back->elapsedSeconds, 605);
    EXPECT_EQ(back->totalKcal, s.totalKcal);
    EXPECT_EQ(back->maxSpeed10, 64);
    EXPECT_TRUE(back->anyFix);
    for (const auto& [got, want] :
         {std::pair{back->posStart, s.posStart}, std::pair{back->posEnd, s.posEnd}}) {
        EXPECT_EQ(got.dwValidFields, want.dwValidFields);
        EXPECT_EQ(got.stUTCTime, want.stUTCTime);
        EXPECT_EQ(got.dblLatitude, want.dblLatitude);
        EXPECT_EQ(got.dblLongitude, want.dblLongitude);
        EXPECT_EQ(got.flSpeed, want.flSpeed);
        EXPECT_EQ(got.flAltitudeWRTSeaLevel, want.flAltitudeWRTSeaLevel);
        EXPECT_EQ(got.flAltitudeWRTEllipsoid, want.flAltitudeWRTEllipsoid);
    }
    EXPECT_EQ(back->minLat + back->maxLat + back->minLon + back->maxLon,
              s.minLat + s.maxLat + s.minLon + s.maxLon);
    ASSERT_EQ(back->checkpoints.size(), 2U);
    EXPECT_EQ(back->checkpoints[1].stTime, s.checkpoints[1].stTime);
    EXPECT_EQ(back->checkpoints[1].dblLongitude, -139.2);
    EXPECT_EQ(back->checkpoints[1].dblDistance, 600.25);
    EXPECT_EQ(back->checkpoints[1].nSeconds, 300);
    EXPECT_EQ(back->checkpoints[1].dblKcal, 25.125);
    EXPECT_EQ(back->trackLogLines, 433);
}

TEST(RecoveryJournal, OnlyAWholeJournalOfOursIsRead) {
    const std::string good = EncodeJournal(Sample());
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    for (const std::string& bad : {
             good.substr(0, good.size() - 4),                // cut before its end
             good.substr(0, good.find("box ")) + "end\n",    // a key missing
             replaced("box ", "box 1 2 3 4\nbox "),          // a key twice
             replaced("totals 1234", "totals x1234"),        // not a number
             replaced("605 ", "605.5 "),                     // not a whole number
             replaced("run 20080115-093001", "run ../../x"), // a run name that would escape
             replaced("phase resting", "phase sleeping"),    // no such phase
             replaced("AmbuloJournal 1", "AmbuloJournal 2"), // another program's or version's
             std::string(),
         }) {
        EXPECT_FALSE(DecodeJournal(bad)) << bad;
    }
}

TEST(RecoveryJournal, SyncsTheFirstWriteAndThenEveryThirtySeconds) {
    TempRoot temp;
    auto now = std::chrono::steady_clock::time_point{};
    RecoveryJournal journal([&] { return now; });
    EXPECT_TRUE(journal.SyncDue());
    ASSERT_TRUE(journal.Write(temp.root(), "\\Log\\", Sample()));
    now += std::chrono::seconds(29);
    EXPECT_FALSE(journal.SyncDue());
    now += std::chrono::seconds(1);
    EXPECT_TRUE(journal.SyncDue());

    JournalState read;
    EXPECT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::Readable);
    EXPECT_EQ(read.runName, "20080115-093001");

    // A write torn by the program's death spoils one copy only: the other holds the state before.
    JournalState later = Sample();
    later.elapsedSeconds = 610;
    ASSERT_TRUE(journal.Write(temp.root(), "\\Log\\", later));
    std::string second = temp.ReadHostFile("Log/AMBLJRN2.TMP");
    second[second.find("610")] = '9';
    temp.WriteHostFile("Log/AMBLJRN2.TMP", second);
    ASSERT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::Readable);
    EXPECT_EQ(read.elapsedSeconds, 605);
    later.elapsedSeconds = 615; // a shorter state over a longer one: the old tail is not read
    later.checkpoints.clear();
    ASSERT_TRUE(journal.Write(temp.root(), "\\Log\\", later));
    ASSERT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::Readable);
    EXPECT_EQ(read.elapsedSeconds, 615);
    EXPECT_TRUE(read.checkpoints.empty());
    temp.WriteHostFile("Log/AMBLJRNL.TMP", "AmbuloJournal 1\ngarbage");
    EXPECT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::Damaged);
    EXPECT_EQ(RecoveryJournal::SetAside(temp.root(), "\\Log\\"), "\\Log\\AMBLJRNL-001.BAD");
    EXPECT_EQ(temp.ReadHostFile("Log/AMBLJRNL-001.BAD"), "AmbuloJournal 1\ngarbage");
    EXPECT_EQ(RecoveryJournal::Read(temp.root(), "\\Log\\", read), RecoveryJournal::Found::None);
}
