#include "engine/MyAmbuloDoc.h"

#include "support/Bytes.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <sys/stat.h>
#include <tuple>

using namespace std::string_literals;

namespace {

const char* const kOptFile = "Program Files/Ambulo/ambl.opt";

// 32-bit values, little-endian, one after the other.
std::string Dwords(std::initializer_list<std::uint32_t> values) {
    std::string bytes;
    for (const std::uint32_t v : values) {
        bytes += Le(std::u16string{static_cast<char16_t>(v), static_cast<char16_t>(v >> 16)});
    }
    return bytes;
}

std::string Double(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    return Dwords({static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32)});
}

// A wide string: FF, FE FF, its length (one byte, or FF and two), UTF-16LE characters.
std::string Wide(std::string_view ascii) {
    const auto n = static_cast<std::uint32_t>(ascii.size());
    return "\xFF\xFE\xFF"s + (n < 0xFF ? Dwords({n}).substr(0, 1) : "\xFF" + Dwords({n}).substr(0, 2)) +
           Le(std::u16string(ascii.begin(), ascii.end()));
}

// Fields 1 to 17, every one with a value of its own (2 to 12 for the flags and numbers), so that a
// field read into (or written from) another's place shows.
std::string CommonFields(std::uint32_t version, const std::string& folder,
                         const std::string& name = Wide("Ambulo")) {
    return name + Dwords({version, 2, 3}) + folder + Dwords({4, 5, 6}) + Double(71.5) + Double(3.25) +
           Dwords({7}) + Wide("\\p.wav") + Dwords({8, 9, 10, 11, 12});
}

} // namespace

// The fields a version lacks keep their defaults, and the file is saved back as version 5. The
// folder as stored, wide or narrow (in the handheld's code page), and as it is kept: never empty
// and ending with a backslash.
TEST(SettingsFile, EveryFieldOfEveryVersionKeepsItsPlace) {
    // 255 characters, the first length that needs two bytes.
    const std::string longFolder = "\\" + std::string(253, 'f') + "\\";
    const std::pair<std::string, std::string> folders[] = {
        {Wide(""), "\\My Documents\\Ambulo\\"},
        {Wide("\\Data"), "\\Data\\"},
        {Wide("\\"), "\\"},
        {"\x06\x5C\x83\x8D\x83\x4F\x5C"s, "\\ログ\\"}, // length 6
        {Wide(longFolder), longFolder}};
    const std::string newer[] = {Dwords({13}), Dwords({14}), Dwords({15, 16}),
                                 Wide("\\c.wav") + Dwords({17, 18, 19, 20, 21})};
    const std::string later[] = {Dwords({0}), Dwords({0}), Dwords({0, 10000}),
                                 Wide("\\Windows\\RecEnd.wav") + Dwords({1, 0, 1, 300, 1000})};
    for (std::uint32_t version = 1; version <= 5; ++version) {
        SCOPED_TRACE(version);
        const auto& [stored, folder] = folders[version - 1];
        // The name is narrow once.
        std::string file = CommonFields(version, stored, version == 4 ? "\x06"s + "Ambulo" : Wide("Ambulo"));
        std::string saved =
            CommonFields(5, version == 4 ? "\xFF\xFE\xFF\x04"s + Le(u"\\ログ\\") : Wide(folder));
        for (std::uint32_t v = 2; v <= 5; ++v) {
            file += v <= version ? newer[v - 2] : "";
            saved += v <= version ? newer[v - 2] : later[v - 2];
        }
        TestServices t;
        t.temp.WriteHostFile(kOptFile, file + "trailing bytes are ignored");

        CMyAmbuloDoc doc(t.services());
        const bool v2 = version >= 2, v4 = version >= 4, v5 = version >= 5;
        // The live flags and numbers in file order.
        const std::vector<int> live = {
            doc.m_bKeepAwakeIdle,    doc.m_bShowBluetooth,     doc.m_bSaveHistory,     doc.m_bSaveKml,
            doc.m_bSaveGpsLog,       doc.m_bFlatAltitude,      doc.m_bPitchSound,      doc.m_bPitchByTime,
            doc.m_nPitchSeconds,     doc.m_bPitchByDistance,   doc.m_nPitchMetres,     doc.m_bIgnoreGpsFlags,
            doc.m_bCenterOnStart,    doc.m_nMapScale,          doc.m_bCheckpointSound, doc.m_bCheckpointAuto,
            doc.m_bCheckpointByTime, doc.m_nCheckpointSeconds, doc.m_nCheckpointMetres};
        EXPECT_EQ(live, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, v2 ? 13 : 0, v4 ? 15 : 0,
                                          v4 ? 16 : 10000, v5 ? 17 : 1, v5 ? 18 : 0, v5 ? 19 : 1,
                                          v5 ? 20 : 300, v5 ? 21 : 1000}));
        EXPECT_EQ(std::tuple(doc.m_dblWeightKg, doc.m_dblMinDistance, doc.m_strLogFolder, doc.m_strPitchSound,
                             doc.m_strCheckpointSound),
                  std::tuple(71.5, 3.25, folder, "\\p.wav"s, v5 ? "\\c.wav"s : "\\Windows\\RecEnd.wav"s));

        ASSERT_TRUE(doc.SaveSettings());
        EXPECT_EQ(t.temp.ReadHostFile(kOptFile), saved);
    }
}

// Someone else's file, a FIFO, a device of endless zeros, a folder, lengths that promise more than the
// file holds, or a file cut short: the defaults, as with no file, read without hanging or reading
// without end, and saved field by field, but for the fields read before a cut.
TEST(SettingsFile, WhatIsNotWholeSettingsGivesTheDefaults) {
    const std::string sound = Wide("\\Windows\\RecEnd.wav");
    const std::string ours = Wide("Ambulo") + Dwords({5, 1, 1}); // the defaults' first fields
    const std::string defaults = ours + Wide("\\My Documents\\Ambulo\\") + Dwords({1, 1, 0}) + Double(60.0) +
                                 Double(2.0) + Dwords({0}) + sound +
                                 Dwords({0, 1, 60, 0, 500, 0, 0, 0, 10000}) + sound +
                                 Dwords({1, 0, 1, 300, 1000});
    using Arrange = std::function<void(const std::filesystem::path&)>;
    const auto bytes = [](const std::string& b) -> Arrange {
        return [b](const auto& p) { std::ofstream(p) << b; };
    };
    const std::string full = CommonFields(5, Wide("\\Data\\"));
    const std::string cut = full.substr(0, full.find(Double(71.5)) + 8); // after the weight
    // clang-format off
    const std::pair<Arrange, std::string> arrange[] = {
        {bytes(CommonFields(5, Wide("\\Data\\"), Wide("Other"))), defaults},
        {bytes(CommonFields(0, Wide("\\Data\\"))), defaults},
        {[](const auto& p) { ::mkfifo(p.c_str(), 0644); }, defaults},
        {[](const auto& p) { std::filesystem::create_symlink("/dev/zero", p); }, defaults},
        {[](const auto& p) { std::filesystem::create_directory(p); }, defaults},
        {bytes(ours + "\xFF\xFE\xFF\x40" "A\0"s), defaults}, // wide, 64 characters promised
        {bytes(ours + "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F" "A\0"s), defaults}, // wide, 32-bit length
        {bytes(ours + "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF" + std::string(8, '\xFF')), defaults}, // 64-bit
        {bytes(ours + "\xFF\xFF\xFF\xFF\xFF\xFF\x0F" "abc"s), defaults}, // narrow, 32-bit length
        {bytes(cut), cut + defaults.substr(defaults.find(Double(2.0)))},
    };
    // clang-format on
    for (const auto& row : arrange) {
        SCOPED_TRACE(&row - arrange);
        const auto& [make, saved] = row;
        TestServices t;
        const auto path = t.temp.host() / kOptFile;
        std::filesystem::create_directories(path.parent_path());
        make(path);
        CMyAmbuloDoc doc(t.services());
        EXPECT_EQ(doc.m_bSaveHistory + doc.m_bSaveKml + doc.m_bKeepAwakeIdle, 3);
        EXPECT_EQ(doc.m_dblWeightKg, 60.0);
        // A folder in the way is not replaced: the save says so.
        EXPECT_EQ(doc.SaveSettings(), !std::filesystem::is_directory(path));
        std::filesystem::remove_all(path);
        ASSERT_TRUE(doc.SaveSettings());
        EXPECT_EQ(t.temp.ReadHostFile(kOptFile), saved);
    }
}
