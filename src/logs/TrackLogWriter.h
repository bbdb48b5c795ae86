#pragma once

#include "platform/File.h"

#include <string_view>

class CMyAmbuloDoc;

// The workout's GPS track log (one CSV line per accepted fix, UTF-16LE), the KML coordinates file
// that the KML export later copies into the route, and the GPX points file that the GPX export
// wraps into a track. The files are the document's (m_hTrackLog, m_hKmlTemp, m_hGpxTemp); this
// writer opens and feeds them.
class TrackLogWriter {
public:
    struct OpenResult {
        bool ok = false;
        int error = 0; // errno of the failed creation
    };

    explicit TrackLogWriter(CMyAmbuloDoc& doc) : m_doc(doc) {}

    // Opens the track log "Log\<fileName>" in the log folder (creating the folders) and, when
    // KML export is on, the KML coordinates and GPX points files. All or nothing: when either cannot be
    // created, whatever this call created is closed again and the error is returned. A track log that is open
    // already (a resumed workout) is kept and reported as success.
    OpenResult Open(std::string_view fileName);

    struct AppendResult {
        platform::WriteResult trackLog;
        platform::WriteResult kmlTemp;
        platform::WriteResult gpxTemp;
    };

    // Appends the accepted fix in m_posCurrent to the open files, saying for each whether its line
    // was written (callers go on regardless).
    AppendResult AppendFix();

    // A rest: the next fix appended starts a new GPX track segment.
    void StartNewSegment() { m_bNewSegment = m_bAnyGpxPoint; }

private:
    CMyAmbuloDoc& m_doc;
    bool m_bAnyGpxPoint = false; // of this workout
    bool m_bNewSegment = false;
};
