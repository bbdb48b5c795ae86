#pragma once

#include "platform/File.h"

#include <string_view>

class CMyAmbuloDoc;

// The workout's GPS track log (one CSV line per accepted fix, UTF-16LE) and the KML coordinates
// file that the KML export later copies into the route. Both files are the document's
// (m_hTrackLog, m_hKmlTemp); this writer opens and feeds them.
class TrackLogWriter {
public:
    struct OpenResult {
        bool ok = false;
        int error = 0; // errno of the failed creation
    };

    explicit TrackLogWriter(CMyAmbuloDoc& doc) : m_doc(doc) {}

    // Opens the track log "Log\<fileName>" in the log folder (creating the folders) and, when
    // KML export is on, the KML coordinates file. All or nothing: when either cannot be created,
    // whatever this call created is closed again and the error is returned. A track log that is
    // open already (a resumed workout) is kept and reported as success.
    OpenResult Open(std::string_view fileName);

    struct AppendResult {
        platform::WriteResult trackLog;
        platform::WriteResult kmlTemp;
    };

    // Appends the accepted fix in m_posCurrent to the open files, saying for each whether its line
    // was written (callers go on regardless).
    AppendResult AppendFix();

private:
    CMyAmbuloDoc& m_doc;
};
