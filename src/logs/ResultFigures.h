#pragma once

#include <string>

// The figures the result dialog shows for a workout just finished.
struct ResultFigures {
    std::string m_strTitle;    // the run name
    std::string m_strKcalText; // texts as the screen shows them, trailing blank included
    std::string m_strDistanceText;
    std::string m_strTimeText;
    std::string m_strAvgSpeedText; // "%.01f" km/h
    int m_nTotalSeconds = 0;
    int m_nMaxSpeed10 = 0;
    std::string m_strTrackLogPath; // device paths
    std::string m_strKmlPath;
};
