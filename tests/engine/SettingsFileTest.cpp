#include "engine/MyAmbuloDoc.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A wide string of ASCII text: FF, FE FF, its length (one byte, or FF and two), UTF-16LE characters.
std::string Wide(std::string_view ascii) {
    std::string bytes = "\xFF\xFE\xFF"s + static_cast<char>(std::min<std::size_t>(ascii.size(), 0xFF));
    if (ascii.size() >= 0xFF) { // then a 16-bit length
        bytes += static_cast<char>(ascii.size() & 0xFF);
        bytes += static_cast<char>(ascii.size() >> 8);
    }
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

// Every field holds a value of its own, so a field read into (or written from) another's place
// shows; the fields a version lacks keep their defaults, and the file is saved back as version 5.
TEST(SettingsFile, EveryFieldOfEveryVersionKeepsItsPlace) {
    const std::string longFolder = "\\" + std::string(300, 'f') + "\\"; // needs a two-byte length
    for (std::uint32_t version = 1; version <= 5; ++version) {
        SCOPED_TRACE(version);
        const std::string folder = version == 5 ? longFolder : "\\F\\";
        std::string file = Wide("Ambulo") + Dword(version) + Dword(2) + Dword(3) + Wide(folder) + Dword(4) +
                           Dword(5) + Dword(6) + Double(71.5) + Double(3.25) + Dword(7) + Wide("\\p.wav") +
                           Dword(8) + Dword(9) + Dword(10) + Dword(11) + Dword(12);
        const std::string newer[] = {Dword(13), Dword(14), Dword(15) + Dword(16),
                                     Wide("\\c.wav") + Dword(17) + Dword(18) + Dword(19) + Dword(20) +
                                         Dword(21)};
        const std::string later[] = {Dword(0), Dword(0), Dword(0) + Dword(10000),
                                     Wide("\\Windows\\RecEnd.wav") + Dword(1) + Dword(0) + Dword(1) +
                                         Dword(300) + Dword(1000)};
        std::string saved = Wide("Ambulo") + Dword(5) + file.substr(Wide("Ambulo").size() + 4);
        for (std::uint32_t v = 2; v <= 5; ++v) {
            file += v <= version ? newer[v - 2] : "";
            saved += v <= version ? newer[v - 2] : later[v - 2];
        }
        TestServices t;
        t.temp.WriteHostFile(kOptFile, file + "trailing bytes are ignored");

        CMyAmbuloDoc doc(t.services());
        const bool v2 = version >= 2, v4 = version >= 4, v5 = version >= 5;
        const std::vector<double> live = {double(doc.m_bKeepAwakeIdle),
                                          double(doc.m_bShowBluetooth),
                                          double(doc.m_bSaveHistory),
                                          double(doc.m_bSaveKml),
                                          double(doc.m_bSaveGpsLog),
                                          doc.m_dblWeightKg,
                                          doc.m_dblMinDistance,
                                          double(doc.m_bFlatAltitude),
                                          double(doc.m_bPitchSound),
                                          double(doc.m_bPitchByTime),
                                          double(doc.m_nPitchSeconds),
                                          double(doc.m_bPitchByDistance),
                                          double(doc.m_nPitchMetres),
                                          double(doc.m_bIgnoreGpsFlags),
                                          double(doc.m_bCenterOnStart),
                                          double(doc.m_nMapScale),
                                          double(doc.m_bCheckpointSound),
                                          double(doc.m_bCheckpointAuto),
                                          double(doc.m_bCheckpointByTime),
                                          double(doc.m_nCheckpointSeconds),
                                          double(doc.m_nCheckpointMetres)};
        EXPECT_EQ(live, (std::vector<double>{2,
                                             3,
                                             4,
                                             5,
                                             6,
                                             71.5,
                                             3.25,
                                             7,
                                             8,
                                             9,
                                             10,
                                             11,
                                             12,
                                             v2 ? 13.0 : 0.0,
                                             v4 ? 15.0 : 0.0,
                                             v4 ? 16.0 : 10000.0,
                                             v5 ? 17.0 : 1.0,
                                             v5 ? 18.0 : 0.0,
                                             v5 ? 19.0 : 1.0,
                                             v5 ? 20.0 : 300.0,
                                             v5 ? 21.0 : 1000.0}));
        EXPECT_EQ(doc.m_strLogFolder, folder);
        EXPECT_EQ(doc.m_strPitchSound, "\\p.wav");
        EXPECT_EQ(doc.m_strCheckpointSound, v5 ? "\\c.wav" : "\\Windows\\RecEnd.wav");
        EXPECT_EQ(doc.m_saved.dwReserved, version >= 3 ? 14U : 0U);

        ASSERT_TRUE(doc.SaveSettings());
        EXPECT_EQ(t.temp.ReadHostFile(kOptFile), saved);
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

// No file, or one that is not ours (someone else's, zeros, a FIFO or a device), gives the
// defaults, which are saved field by field; reading it neither hangs nor reads without end.
TEST(SettingsFile, WhatIsNotOurSettingsGivesTheDefaults) {
    const std::string defaults =
        Wide("Ambulo") + Dword(5) + Dword(1) + Dword(1) + Wide("\\My Documents\\Ambulo\\") + Dword(1) +
        Dword(1) + Dword(0) + "\0\0\0\0\0\0\x4E\x40"s + // 60.0
        "\0\0\0\0\0\0\0\x40"s +                         // 2.0
        Dword(0) + Wide("\\Windows\\RecEnd.wav") + Dword(0) + Dword(1) + Dword(60) + Dword(0) + Dword(500) +
        Dword(0) + Dword(0) + Dword(0) + Dword(10000) + Wide("\\Windows\\RecEnd.wav") + Dword(1) + Dword(0) +
        Dword(1) + Dword(300) + Dword(1000);
    const std::function<void(const std::filesystem::path&)> arrange[] = {
        [](const auto&) {},
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
        CMyAmbuloDoc doc(t.services());
        EXPECT_EQ(doc.m_bSaveHistory + doc.m_bSaveKml + doc.m_bKeepAwakeIdle, 3);
        EXPECT_EQ(doc.m_dblWeightKg, 60.0);
        std::filesystem::remove_all(path);
        ASSERT_TRUE(doc.SaveSettings());
        EXPECT_EQ(t.temp.ReadHostFile(kOptFile), defaults);
    }
}
