#include "platform/Wave.h"
#include "platform/Chime.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

using Sample = platform::WaveSound::Sample;

namespace {

std::string Le(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return out;
}

// A wave file at 8 000 Hz; the extensible format (0xFFFE) carries PCM as its sub-format; before goes
// ahead of the data chunk, whose size field may claim more than it holds.
std::string Wave(int tag, int channels, int bits, std::string_view data, std::uint32_t dataSize,
                 std::string_view before = "") {
    std::string fmt = Le(tag, 2) + Le(channels, 2) + Le(8000, 4) + Le(8000 * channels * bits / 8, 4) +
                      Le(channels * bits / 8, 2) + Le(bits, 2);
    fmt += tag == 0xFFFE ? Le(22, 2) + Le(bits, 2) + Le(0, 4) + Le(1, 2) + std::string(14, '\1') : "";
    return "RIFF" + Le(0, 4) + "WAVEfmt " + Le(fmt.size(), 4) + fmt + std::string(before) + "data" +
           Le(dataSize, 4) + std::string(data);
}

} // namespace

TEST(Wave, DecodesLinearAndFloatSamplesAsTheDeviceTakesThemAndTheCacheReportsAFaultOnce) {
    const std::string odd = "LIST" + Le(3, 4) + "xyz" + '\0'; // chunks are word-aligned
    for (const auto& [file, sample, channels, pcm] :
         {std::tuple{Wave(1, 2, 8, "\x80\x81\x82\x83", 4), Sample::UInt8, 2, std::string("\x80\x81\x82\x83")},
          {Wave(1, 1, 24, "\1\2\3\4\5\6", 6), Sample::Int32, 1, std::string("\0\1\2\3\0\4\5\6", 8)},
          {Wave(3, 1, 32, "abcd", 4), Sample::Float, 1, "abcd"},
          {Wave(0xFFFE, 1, 16, "abcd", 4), Sample::Int16, 1, "abcd"},
          {Wave(1, 2, 16, "abcdefg", 4096, odd), Sample::Int16, 2, "abcd"}}) { // cut to whole frames
        std::string error;
        const auto sound = platform::DecodeWave(file, error);
        ASSERT_TRUE(sound) << error;
        EXPECT_EQ(sound->sample, sample);
        EXPECT_EQ(sound->channels, channels);
        EXPECT_EQ(sound->sampleRate, 8000);
        EXPECT_EQ(sound->pcm, pcm);
    }
    std::string error;
    for (const std::string& bad : {std::string("RIFX"), Wave(7, 1, 8, "ab", 2), Wave(1, 1, 16, "a", 1),
                                   Wave(1, 1, 16, "", 0).substr(0, 36)}) {
        EXPECT_FALSE(platform::DecodeWave(bad, error)) << bad;
    }

    // The cache decodes a file once, follows it when it changes, and reports each fault once.
    TempRoot temp;
    std::vector<std::string> reports;
    platform::WaveCache cache(temp.root(), [&](const std::string& message) { reports.push_back(message); });
    EXPECT_FALSE(cache.Get(R"(\a.wav)"));
    EXPECT_FALSE(cache.Get(R"(\a.wav)"));
    temp.WriteHostFile("a.wav", Wave(1, 1, 16, "ab", 2));
    const auto first = cache.Get(R"(\a.wav)");
    EXPECT_EQ(cache.Get(R"(\a.wav)"), first); // not read again
    temp.WriteHostFile("a.wav", Wave(1, 1, 16, "abcd", 4));
    EXPECT_EQ(cache.Get(R"(\a.wav)")->pcm, "abcd");
    temp.WriteHostFile("a.wav", "not a sound");
    EXPECT_FALSE(cache.Get(R"(\a.wav)"));
    EXPECT_FALSE(cache.Get(R"(\a.wav)"));
    EXPECT_EQ(reports, (std::vector<std::string>{R"(cannot play \a.wav: no such file)",
                                                 R"(cannot play \a.wav: not a wave file)"}));
}

TEST(Chime, IsALoudWaveOfOurOwnAndNeverReplacesTheUsersSound) {
    const std::string wav = platform::MakeChimeWav();
    std::string error;
    const auto chime = platform::DecodeWave(wav, error);
    ASSERT_TRUE(chime) << error;
    EXPECT_EQ(std::tuple(chime->sample, chime->channels, chime->sampleRate),
              std::tuple(Sample::Int16, 1, 22050));
    // The sizes of the whole and of the samples, which follow a header of 44 bytes.
    EXPECT_EQ(wav.substr(4, 4) + wav.substr(40, 4), Le(wav.size() - 8, 4) + Le(wav.size() - 44, 4));
    int loudest = 0;
    for (std::size_t i = 0; i + 1 < chime->pcm.size(); i += 2) {
        const auto sample =
            static_cast<std::int16_t>(static_cast<std::uint8_t>(chime->pcm[i]) | chime->pcm[i + 1] << 8);
        loudest = std::max(loudest, std::abs(sample));
    }
    EXPECT_GT(loudest, 5000);

    TempRoot temp;
    ASSERT_TRUE(platform::InstallChimeIfMissing(temp.root()));
    EXPECT_EQ(temp.ReadHostFile("Windows/RecEnd.wav"), wav);
    temp.WriteHostFile("Windows/RecEnd.wav", "mine");
    EXPECT_TRUE(platform::InstallChimeIfMissing(temp.root()));
    EXPECT_EQ(temp.ReadHostFile("Windows/RecEnd.wav"), "mine");
}
