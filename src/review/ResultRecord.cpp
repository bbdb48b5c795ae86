#include "review/ResultRecord.h"

#include "logs/ExerciseRecord.h"
#include "logs/LogPaths.h"
#include "logs/TextFormat.h"
#include "platform/File.h"
#include "platform/Translate.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using platform::Tr;

namespace {

// A track-log line is about a hundred characters; what lies beyond this is never looked at, so a
// file without line ends cannot make one line eat the memory.
constexpr std::size_t kLineUnitLimit = 512;
constexpr std::size_t kReadChunk = 64 * 1024;
// Samples beyond the plot are pulled in to here: far outside any screen, yet small enough for the
// painter's fixed-point arithmetic.
constexpr std::int64_t kFarOff = 32767;

// The lines of a UTF-16LE file, read in chunks; a line ends at LF (its CR stays with it).
class Utf16LineReader {
public:
    explicit Utf16LineReader(platform::File& file) : m_file(file) {}

    bool Next(std::u16string& line) {
        line.clear();
        bool any = false;
        while (true) {
            if (m_buffer.size() - m_pos < 2 && !Refill()) {
                return any;
            }
            any = true;
            const auto unit = static_cast<char16_t>(static_cast<unsigned char>(m_buffer[m_pos]) |
                                                    static_cast<unsigned char>(m_buffer[m_pos + 1]) << 8);
            m_pos += 2;
            if (unit == u'\n') {
                return true;
            }
            if (line.size() < kLineUnitLimit) {
                line += unit;
            }
        }
    }

private:
    bool Refill() {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
        const auto more = m_file.ReadUpTo(kReadChunk);
        if (!more || more->empty()) {
            return false;
        }
        m_buffer += *more;
        return m_buffer.size() >= 2;
    }

    platform::File& m_file;
    std::string m_buffer;
    std::size_t m_pos = 0;
};

int MulDiv(std::int64_t value, std::int64_t times, std::int64_t divisor) {
    return static_cast<int>(value * times / divisor);
}

} // namespace

int LoadResultRecord(const platform::DeviceRoot& root, ResultFigures& figures) {
    const auto record = ReadExerciseRecord(root, RecordPathForTrackLog(figures.m_strTrackLogPath));
    if (!record) {
        return 0;
    }
    figures.m_strTitle = record->strTitle;
    figures.m_strDistanceText = record->strDistance;
    figures.m_nTotalSeconds = record->nSeconds;
    figures.m_strTimeText = ElapsedText(record->nSeconds);
    figures.m_strKcalText = record->strKcal;
    figures.m_strAvgSpeedText = record->strAvgSpeed;
    figures.m_nMaxSpeed10 = record->nMaxSpeed10;
    return 1;
}

std::string TotalTimeLabel(int seconds) {
    std::string text = ElapsedText(seconds);
    text.pop_back(); // the screen's trailing blank
    return text;
}

std::optional<SpeedSample> ParseTrackLogLine(std::u16string_view line) {
    // The speed is the tenth field, "%.01f" km/h.
    std::size_t at = 0;
    for (int comma = 0; comma < 9; ++comma) {
        at = line.find(u',', at);
        if (at == std::u16string_view::npos) {
            return std::nullopt;
        }
        ++at;
    }
    std::u16string speed(line.substr(at));
    std::erase(speed, u'.'); // "18.5" is 185 tenths
    return SpeedSample{LeadingInt(line), LeadingInt(speed)};
}

std::optional<std::vector<SpeedSample>> ReadSpeedTrace(const platform::DeviceRoot& root,
                                                       std::string_view devicePath, int nMaxLines) {
    platform::File file = platform::File::OpenExisting(root, devicePath);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    std::vector<SpeedSample> samples;
    Utf16LineReader lines(file);
    std::u16string line;
    // The version line and the column header.
    if (!lines.Next(line) || !lines.Next(line)) {
        return samples;
    }
    for (int n = 0; n < nMaxLines && lines.Next(line); ++n) {
        if (const auto sample = ParseTrackLogLine(line)) {
            samples.push_back(*sample);
        }
    }
    return samples;
}

SpeedScale SpeedScaleFor(int m) {
    if (m > 1000) {
        return {1500, {{{1000, "100"}, {500, "50"}}}, 2};
    }
    if (m > 800) {
        return {1000, {{{900, "90"}, {600, "60"}, {300, "30"}}}, 3};
    }
    if (m > 600) {
        return {800, {{{600, "60"}, {400, "40"}, {200, "20"}}}, 3};
    }
    if (m > 400) {
        return {600, {{{450, "45"}, {300, "30"}, {150, "15"}}}, 3};
    }
    if (m > 200) {
        return {400, {{{300, "30"}, {200, "20"}, {100, "10"}}}, 3};
    }
    if (m > 100) {
        return {200, {{{150, "15"}, {100, "10"}, {50, "5"}}}, 3};
    }
    if (m > 50) {
        return {100, {{{75, "7.5"}, {50, "5.0"}, {25, "2.5"}}}, 3};
    }
    return {50, {{{40, "4"}, {20, "2"}}}, 2};
}

SpeedGraphLayout SpeedGraphLayout::For(const GraphRect& graph, int H, int nMaxSpeed10, int nTotalSeconds) {
    SpeedGraphLayout g;
    g.rcGraph = graph;
    g.Lp = graph.left + 20 * H / 250;
    g.Bp = graph.bottom - 10 * H / 250;
    g.nFont = 10 * H / 250;
    g.scale = SpeedScaleFor(nMaxSpeed10);
    g.nTotalSeconds = nTotalSeconds;
    return g;
}

int SpeedGraphLayout::GridY(int nSpeed10) const {
    return Bp + MulDiv(rcGraph.top - Bp, nSpeed10, scale.nFullScale10);
}

GraphPoint SpeedGraphLayout::PointFor(const SpeedSample& sample) const {
    const std::int64_t seconds = std::max(nTotalSeconds, 1);
    const std::int64_t x = Lp + static_cast<std::int64_t>(sample.nSecond) * (rcGraph.right - Lp) / seconds;
    const std::int64_t y =
        Bp - static_cast<std::int64_t>(Bp - rcGraph.top) * sample.nSpeed10 / scale.nFullScale10;
    return {static_cast<int>(std::clamp(x, -kFarOff, kFarOff)),
            static_cast<int>(std::clamp(y, -kFarOff, kFarOff))};
}

ResultLayout ResultLayout::For(int W, int H) {
    ResultLayout l;
    l.W = W;
    l.H = H;
    l.bPortrait = W <= H;
    l.a = l.bPortrait ? 6 : 10;
    l.b = l.bPortrait ? 10 : 15;
    l.T = l.bPortrait ? W : MulDiv(W, 60, 100);
    const int a = l.a;
    const int b = l.b;
    l.nLabelFont = MulDiv(H, a, 100);
    l.nValueFont = MulDiv(H, b, 100);
    l.y1 = MulDiv(H, a, 100);
    l.y2 = MulDiv(a + b, H, 100);
    l.y3 = MulDiv(2 * (a + b), H, 100);
    l.y4 = MulDiv(3 * (a + b), H, 100);
    l.yv2 = MulDiv(2 * a + b, H, 100);
    l.yv3 = MulDiv(3 * a + 2 * b, H, 100);
    l.x0 = MulDiv(l.T, 3, 100);
    l.x1 = MulDiv(l.T, 53, 100);
    l.xSplit = l.T / 2;
    l.rcGraph = l.bPortrait ? GraphRect{5, l.y4 + 15, W - 10, H - 5}
                            : GraphRect{MulDiv(W, 60, 100), l.y2 + 13, W - 10, H - 3};
    return l;
}

std::vector<PlacedText> PlaceResultTexts(const TextMeasure& measure, const ResultLayout& l,
                                         const SpeedGraphLayout& g, const ResultFigures& f) {
    std::vector<PlacedText> placed;
    const auto add = [&](std::string text, int x, int y, TextAnchor anchor, bool bold, int height, int left,
                         int top, int right, int bottom) {
        placed.push_back(FittedText(measure, std::move(text), x, y, anchor, bold, height,
                                    {left, top, right - left, bottom - top}));
    };
    // The table: a title row across the window, then two rows of label and figure in two columns
    // split at T / 2. A label's top pixel row shares the table line drawn over it.
    const int label = l.nLabelFont;
    const int value = l.nValueFont;
    add(Tr("Ambulo", "タイトル"), l.x0, 0, TextAnchor::LeftTop, false, label, l.x0, 0, l.W, l.y1);
    add(f.m_strTitle, l.x0, l.y1, TextAnchor::LeftTop, false, label, l.x0, l.y1, l.W, l.y2);
    add(Tr("Ambulo", "距離 (m)"), l.x0, l.y2, TextAnchor::LeftTop, false, label, l.x0, l.y2, l.xSplit, l.yv2);
    add(Tr("Ambulo", "時間"), l.x1, l.y2, TextAnchor::LeftTop, false, label, l.x1, l.y2, l.T, l.yv2);
    add(Tr("Ambulo", "平均速度 (km/h)"), l.x0, l.y3, TextAnchor::LeftTop, false, label, l.x0, l.y3, l.xSplit,
        l.yv3);
    add(Tr("Ambulo", "カロリー (kcal)"), l.x1, l.y3, TextAnchor::LeftTop, false, label, l.x1, l.y3, l.T,
        l.yv3);
    add(f.m_strDistanceText, l.xSplit - 5, l.yv2, TextAnchor::RightTop, true, value, 1, l.yv2, l.xSplit,
        l.y3);
    add(f.m_strTimeText, l.T - 5, l.yv2, TextAnchor::RightTop, true, value, l.xSplit + 1, l.yv2, l.T, l.y3);
    add(f.m_strAvgSpeedText, l.xSplit - 5, l.yv3, TextAnchor::RightTop, true, value, 1, l.yv3, l.xSplit,
        l.y4);
    add(f.m_strKcalText, l.T - 5, l.yv3, TextAnchor::RightTop, true, value, l.xSplit + 1, l.yv3, l.T, l.y4);

    // The graph: the time axis labels in the strip under the plot down to the window's bottom, the
    // speed labels in the margin left of the plot, which begins just right of whatever stands left
    // of the graph (the window edge, or the table's last line).
    const int Tp = g.rcGraph.top;
    const int R = g.rcGraph.right;
    const int margin = l.bPortrait ? 1 : l.T + 1;
    const int middle = g.Lp + (R - g.Lp) / 2;
    const int font = g.nFont;
    add("0", g.Lp, g.Bp, TextAnchor::RightTop, false, font, margin, g.Bp, g.Lp, l.H);
    add(Tr("Ambulo", "時間"), middle, g.Bp, TextAnchor::RightTop, false, font, g.Lp, g.Bp, middle, l.H);
    add(TotalTimeLabel(g.nTotalSeconds), R, g.Bp, TextAnchor::RightTop, false, font, middle, g.Bp, R, l.H);
    // Each grid label owns the margin from half way to the line above to half way to the line below;
    // the topmost leaves "速度" at least its own line when there is room for both.
    const int lines = g.scale.nGridLines;
    const auto gridY = [&](int i) { return g.GridY(g.scale.grid[static_cast<std::size_t>(i)].nSpeed10); };
    const int ascent = measure.Measure({}, NominalPixelSize(measure, font, false), false).nAscent;
    int above = lines > 0 ? std::max((Tp + gridY(0)) / 2, gridY(0) - ascent) : g.Bp;
    add(Tr("Ambulo", "速度"), g.Lp - 2, Tp, TextAnchor::RightTop, false, font, margin, Tp, g.Lp - 1,
        std::max(above, Tp));
    for (int i = 0; i < lines; ++i) {
        const int y = gridY(i);
        const int below = i + 1 < lines ? (y + gridY(i + 1)) / 2 : g.Bp;
        add(g.scale.grid[static_cast<std::size_t>(i)].pszLabel, g.Lp - 2, y, TextAnchor::RightBaseline, false,
            font, margin, above, g.Lp - 1, below);
        above = below;
    }
    return placed;
}
