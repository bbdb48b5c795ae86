#include "engine/SavedSettings.h"

#include "engine/Archive.h"

namespace {

// Hands every field of a file of the record's version to visit, in file order, and stops at the
// first false. Reading and writing share it so that they cannot disagree on the order. The version
// is the second field, so when reading, the gates below test the value just read.
template <typename Record, typename Visit> bool VisitFields(Record& s, Visit&& visit) {
    const bool common = visit(s.strProductName) && visit(s.dwVersion) && visit(s.bKeepAwakeIdle) &&
                        visit(s.bShowBluetooth) && visit(s.strLogFolder) && visit(s.bSaveHistory) &&
                        visit(s.bSaveKml) && visit(s.bSaveGpsLog) && visit(s.dblWeightKg) &&
                        visit(s.dblMinDistance) && visit(s.bFlatAltitude) && visit(s.strPitchSound) &&
                        visit(s.bPitchSound) && visit(s.bPitchByTime) && visit(s.nPitchSeconds) &&
                        visit(s.bPitchByDistance) && visit(s.nPitchMetres);
    if (!common) {
        return false;
    }
    if (s.dwVersion > 1 && !visit(s.bIgnoreGpsFlags)) {
        return false;
    }
    if (s.dwVersion > 2 && !visit(s.dwReserved)) {
        return false;
    }
    if (s.dwVersion > 3 && !(visit(s.bCenterOnStart) && visit(s.nMapScale))) {
        return false;
    }
    if (s.dwVersion > 4 &&
        !(visit(s.strCheckpointSound) && visit(s.bCheckpointSound) && visit(s.bCheckpointAuto) &&
          visit(s.bCheckpointByTime) && visit(s.nCheckpointSeconds) && visit(s.nCheckpointMetres))) {
        return false;
    }
    return true;
}

struct Writer {
    ArchiveWriter& archive;
    bool operator()(const std::string& value) const { return archive.WriteString(value), true; }
    bool operator()(std::uint32_t value) const { return archive.WriteDword(value), true; }
    bool operator()(double value) const { return archive.WriteDouble(value), true; }
};

struct Reader {
    ArchiveReader& archive;
    bool operator()(std::string& value) const { return archive.ReadString(value); }
    bool operator()(std::uint32_t& value) const { return archive.ReadDword(value); }
    bool operator()(double& value) const { return archive.ReadDouble(value); }
};

} // namespace

std::string EncodeSettings(const SavedSettings& settings) {
    ArchiveWriter archive;
    VisitFields(settings, Writer{archive});
    return archive.Bytes();
}

bool DecodeSettings(std::string_view bytes, SavedSettings& settings) {
    ArchiveReader archive(bytes);
    return VisitFields(settings, Reader{archive});
}

std::string NormalizedLogFolder(std::string_view folder) {
    if (folder.empty()) {
        return std::string(kDefaultLogFolder);
    }
    std::string normalized(folder);
    // Device paths start at the root: "Logs\" typed in the dialog is "\Logs\" for every file.
    if (normalized.front() != '\\' && normalized.front() != '/') {
        normalized.insert(normalized.begin(), '\\');
    }
    if (normalized.back() != '\\') {
        normalized += '\\';
    }
    return normalized;
}
