#include "logs/RecoveryJournal.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace {

// A journal as the format has it: numbers in their shortest text that reads back exactly (the
// fixes' speed and heights are floats), the screen's texts with their trailing blanks, a position
// as its flags, latitude, longitude, speed, heights and UTC time.
const std::string kJournal = "AmbuloJournal 1\n"
                             "phase resting\n"
                             "run 20080115-093001\n"
                             "start 2008 1 2 15 9 30 1 0\n"
                             "written 2008 1 2 15 10 2 3 456\n"
                             "distance-text 1234 \n"
                             "elapsed-text 0:10:05 \n"
                             "kcal-text 52.4 \n"
                             "totals 1234.5678901234567 605 52.36 64 1 433\n"
                             "first-fix 207 35.0000001 -139.1234567 2.7 40.5 79.25 2008 1 2 15 0 30 1 250\n"
                             "last-fix 15 -35.5 139.75 0.1 0 0 2008 1 2 15 0 40 5 0\n"
                             "box -35.5 35.0000001 -139.1234567 139.75\n"
                             "checkpoint 2008 1 2 15 9 30 1 0 35 -139.1 40.5 0 0 0\n"
                             "checkpoint 2008 1 2 15 9 35 1 0 35.1 -139.2 0 600.25 300 25.125\n"
                             "end\n";

JournalState Sample() {
    return DecodeJournal(kJournal).value();
}

} // namespace

// Every field read is written back in its place and to the last bit.
TEST(RecoveryJournal, EveryFieldComesBackExactly) {
    EXPECT_EQ(EncodeJournal(Sample()), kJournal);
}

TEST(RecoveryJournal, OnlyAWholeJournalOfOursIsRead) {
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = kJournal;
        return text.replace(text.find(from), from.size(), to);
    };
    for (const std::string& bad : {
             kJournal.substr(0, kJournal.size() - 4),             // cut before its end
             kJournal.substr(0, kJournal.find("box ")) + "end\n", // a key missing
             replaced("box ", "box 1 2 3 4\nbox "),               // a key twice
             replaced("totals 1234", "totals x1234"),             // not a number
             replaced("605 ", "605.5 "),                          // not a whole number
             replaced("run 20080115-093001", "run ../../x"),      // a run name that would escape
             replaced("phase resting", "phase sleeping"),         // no such phase
             replaced("AmbuloJournal 1", "AmbuloJournal 2"),      // another program's or version's
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
