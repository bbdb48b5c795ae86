#include "engine/MyAmbuloDoc.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

using namespace std::string_literals;

namespace {

const char* const kOptFile = "Program Files/Ambulo/ambl.opt";

std::string Dword(std::uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
            static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

std::string Double(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    return Dword(static_cast<std::uint32_t>(bits)) + Dword(static_cast<std::uint32_t>(bits >> 32));
}

// A wide string of ASCII text with a one-byte length: FF, FE FF, length, UTF-16LE characters.
std::string Wide(std::string_view ascii) {
    std::string bytes = "\xFF\xFE\xFF"s + static_cast<char>(ascii.size());
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// Fields 1 to 17 of a file of the given version, with values that differ from the defaults.
std::string CommonFields(std::uint32_t version, double weight = 72.5,
                         const std::string& folder = Wide("\\Data\\"),
                         const std::string& name = Wide("Ambulo")) {
    return name + Dword(version) + Dword(0) + Dword(0) + folder + Dword(0) + Dword(0) + Dword(1) +
           Double(weight) + Double(3.5) + Dword(1) + Wide("\\a.wav") + Dword(1) + Dword(0) + Dword(30) +
           Dword(1) + Dword(250);
}

} // namespace

TEST(SettingsFile, DefaultsAreWrittenFieldByField) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    ASSERT_TRUE(doc.SaveSettings());
    const std::string expected =
        Wide("Ambulo") + Dword(5) + Dword(1) + Dword(1) + Wide("\\My Documents\\Ambulo\\") + Dword(1) +
        Dword(1) + Dword(0) + "\0\0\0\0\0\0\x4E\x40"s + // 60.0
        "\0\0\0\0\0\0\0\x40"s +                         // 2.0
        Dword(0) + Wide("\\Windows\\RecEnd.wav") + Dword(0) + Dword(1) + Dword(60) + Dword(0) + Dword(500) +
        Dword(0) + Dword(0) + Dword(0) + Dword(10000) + Wide("\\Windows\\RecEnd.wav") + Dword(1) + Dword(0) +
        Dword(1) + Dword(300) + Dword(1000);
    EXPECT_EQ(t.temp.ReadHostFile(kOptFile), expected);
}

TEST(SettingsFile, SavedValuesComeBackLive) {
    TestServices t;
    {
        CMyAmbuloDoc doc(t.services());
        doc.m_saved.dblWeightKg = 81.25;
        doc.m_saved.strLogFolder = "\\ログ\\";
        doc.m_saved.strPitchSound = std::string(300, 'x'); // needs the two-byte length
        doc.m_saved.nCheckpointMetres = 1500;
        ASSERT_TRUE(doc.SaveSettings());
    }
    EXPECT_NE(t.temp.ReadHostFile(kOptFile).find("\xFF\xFE\xFF\xFF\x2C\x01"), std::string::npos);
    const CMyAmbuloDoc doc(t.services());
    EXPECT_EQ(doc.m_dblWeightKg, 81.25);
    EXPECT_EQ(doc.m_strLogFolder, "\\ログ\\");
    EXPECT_EQ(doc.m_strPitchSound, std::string(300, 'x'));
    EXPECT_EQ(doc.m_nCheckpointMetres, 1500);
}

TEST(SettingsFile, OlderVersionsLeaveNewerFieldsAtDefaultsAndSaveAsFive) {
    const std::string newer[] = {Dword(1), Dword(0), Dword(1) + Dword(5000), ""};
    for (std::uint32_t version = 1; version <= 4; ++version) {
        SCOPED_TRACE(version);
        TestServices t;
        std::string file = CommonFields(version);
        for (std::uint32_t v = 2; v <= version; ++v) {
            file += newer[v - 2];
        }
        t.temp.WriteHostFile(kOptFile, file + "trailing bytes are ignored");

        CMyAmbuloDoc doc(t.services());
        EXPECT_EQ(doc.m_dblWeightKg, 72.5);
        EXPECT_EQ(doc.m_bIgnoreGpsFlags, version >= 2 ? 1 : 0);
        EXPECT_EQ(doc.m_bCenterOnStart, version >= 4 ? 1 : 0);
        EXPECT_EQ(doc.m_nMapScale, version >= 4 ? 5000 : 10000);
        EXPECT_EQ(doc.m_strCheckpointSound, "\\Windows\\RecEnd.wav");

        ASSERT_TRUE(doc.SaveSettings());
        const std::string saved = t.temp.ReadHostFile(kOptFile);
        EXPECT_EQ(saved.substr(16, 4), Dword(5));
        const std::size_t common = CommonFields(version).size();
        EXPECT_EQ(saved.substr(20, common - 20), file.substr(20, common - 20));
    }
}

TEST(SettingsFile, NarrowStringsAreReadInTheHandheldCodePage) {
    TestServices t;
    // The folder "\ログ\" in Shift_JIS with a one-byte length of 6, and a narrow name too.
    const std::string narrowName = std::string(1, '\x06') + "Ambulo";
    t.temp.WriteHostFile(kOptFile, CommonFields(1, 72.5, "\x06\x5C\x83\x8D\x83\x4F\x5C"s, narrowName));
    const CMyAmbuloDoc doc(t.services());
    EXPECT_EQ(doc.m_strLogFolder, "\\ログ\\");
    EXPECT_EQ(doc.m_dblWeightKg, 72.5);
    EXPECT_EQ(doc.m_saved.strProductName, "Ambulo");
}

TEST(SettingsFile, CutFileKeepsLiveDefaultsButTheReadFieldsInTheRecord) {
    TestServices t;
    const std::string full = CommonFields(5, 65.0);
    const std::size_t afterWeight = full.find(Double(65.0)) + 8;
    t.temp.WriteHostFile(kOptFile, full.substr(0, afterWeight));

    const CMyAmbuloDoc doc(t.services());
    EXPECT_EQ(doc.m_dblWeightKg, 60.0);
    EXPECT_EQ(doc.m_saved.dblWeightKg, 65.0);
    EXPECT_EQ(doc.m_saved.strLogFolder, "\\Data\\");
    EXPECT_EQ(doc.m_saved.dblMinDistance, 2.0);
}

TEST(SettingsFile, LengthsBeyondTheFileFailTheLoad) {
    // clang-format off
    const std::string hostile[] = {
        "\xFF\xFE\xFF\x40" "A\0"s,                                          // wide, 64 characters promised
        "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F" "A\0"s,                  // wide, 32-bit length
        "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF" + std::string(8, '\xFF'), // wide, 64-bit length
        "\xFF\xFF\xFF\xFF\xFF\xFF\x0F" "abc"s,                              // narrow, 32-bit length
    };
    // clang-format on
    for (const auto& folder : hostile) {
        TestServices t;
        t.temp.WriteHostFile(kOptFile, Wide("Ambulo") + Dword(5) + Dword(0) + Dword(0) + folder);
        const CMyAmbuloDoc doc(t.services());
        EXPECT_EQ(doc.m_bKeepAwakeIdle, 1);
        EXPECT_EQ(doc.m_saved.bKeepAwakeIdle, 0U);
        EXPECT_EQ(doc.m_saved.strLogFolder, "\\My Documents\\Ambulo\\");
    }
}

TEST(SettingsFile, LogFolderIsNeverEmptyAndEndsWithABackslash) {
    for (const auto& [stored, kept] :
         {std::pair{""s, "\\My Documents\\Ambulo\\"s}, {"\\Data"s, "\\Data\\"s}, {"\\"s, "\\"s}}) {
        TestServices t;
        t.temp.WriteHostFile(kOptFile, CommonFields(1, 72.5, Wide(stored)));
        const CMyAmbuloDoc doc(t.services());
        EXPECT_EQ(doc.m_strLogFolder, kept);
        EXPECT_EQ(doc.m_saved.strLogFolder, kept);
    }
}

TEST(SettingsFile, FailedSaveIsReportedAndLeavesTheOldFile) {
    TestServices t;
    CMyAmbuloDoc doc(t.services());
    t.temp.WriteHostFile("Program Files", "a file where the folder should be");
    EXPECT_FALSE(doc.SaveSettings());
    EXPECT_EQ(t.temp.ReadHostFile("Program Files"), "a file where the folder should be");
}

// A file that is not ours (someone else's, zeros, a FIFO or a device) is no file at all: the
// defaults apply, and reading it neither hangs nor reads without end.
TEST(SettingsFile, WhatIsNotOurSettingsGivesTheDefaults) {
    const std::function<void(const std::filesystem::path&)> arrange[] = {
        [](const auto& p) { std::ofstream(p) << CommonFields(5, 72.5, Wide("\\Data\\"), Wide("Other")); },
        [](const auto& p) { std::ofstream(p) << CommonFields(0); },
        [](const auto& p) { std::filesystem::resize_file((std::ofstream(p), p), 100'000'000); }, // zeros
        [](const auto& p) { ::mkfifo(p.c_str(), 0644); },
        [](const auto& p) { std::filesystem::create_symlink("/dev/zero", p); },
        [](const auto& p) { std::filesystem::create_directory(p); },
    };
    for (const auto& make : arrange) {
        SCOPED_TRACE(&make - arrange);
        TestServices t;
        const auto path = t.temp.host() / kOptFile;
        std::filesystem::create_directories(path.parent_path());
        make(path);
        const CMyAmbuloDoc doc(t.services());
        EXPECT_EQ(doc.m_bSaveHistory + doc.m_bSaveKml + doc.m_bKeepAwakeIdle, 3);
        EXPECT_EQ(doc.m_dblWeightKg, 60.0);
        EXPECT_EQ(doc.m_saved, SavedSettings{});
    }
}
