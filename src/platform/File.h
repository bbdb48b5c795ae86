#pragma once

#include "platform/DeviceRoot.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class SeekFrom { Begin, Current, End };

// The outcome of writing a file: done, or the errno that stopped it.
struct WriteResult {
    bool ok = true;
    int error = 0;
    static WriteResult Failed(int error) { return {false, error}; }
    explicit operator bool() const { return ok; }
};

// An open file on a device path. Closed when it goes out of scope; a default-constructed File is
// closed. Failures are reported, never thrown; Error() keeps the errno of the last failure (also of
// a failed open) so that callers can show it.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Creates the file, or empties an existing one; opened for reading and writing.
    static File CreateAlways(const DeviceRoot& root, std::string_view devicePath);
    // Opens the file, creating it when missing; positioned at its start, for reading and writing.
    static File OpenAlways(const DeviceRoot& root, std::string_view devicePath);
    // Opens an existing regular file for reading only. Anything else (a folder, a FIFO, a device
    // such as /dev/zero) counts as missing, so reading can neither hang nor run forever.
    static File OpenExisting(const DeviceRoot& root, std::string_view devicePath);
    // Opens a regular file for appending (every write lands at its end), creating it when missing.
    static File OpenAppend(const DeviceRoot& root, std::string_view devicePath);

    bool IsOpen() const { return m_fd >= 0; }
    int Error() const { return m_error; }

    // Writes every byte or reports failure.
    bool Write(std::string_view bytes);
    // Writes every byte at an offset from the start, leaving the file position where it was.
    bool WriteAt(std::uint64_t offset, std::string_view bytes);
    // Reads up to size bytes; 0 at the end of the file; nothing on failure.
    std::optional<std::size_t> Read(void* data, std::size_t size);
    // The new position from the start of the file.
    std::optional<std::int64_t> Seek(std::int64_t offset, SeekFrom from);
    std::optional<std::uint64_t> Size();
    // Reads on from the current position to the end, but no more than limit bytes.
    std::optional<std::string> ReadUpTo(std::size_t limit);
    // Reads the whole file from its start.
    std::optional<std::string> ReadAll();
    // Cuts the file to size bytes (or lengthens it with zeros).
    bool Truncate(std::uint64_t size);
    // Pushes the written data to the disk.
    bool Flush();
    // Closes the file; reports a failure to do so (the file is closed either way).
    bool Close();

private:
    friend class ReplacementFile;
    static File Open(const DeviceRoot& root, std::string_view devicePath, int flags);
    // Keeps the file open only when it is a regular file.
    static File RegularOnly(File file);
    bool Fail();

    int m_fd = -1;
    int m_error = 0;
};

struct FolderEntry {
    std::string name;
    bool isFolder = false;
    bool isHidden = false; // a dot-name, which desktop file managers hide
};

bool FileExists(const DeviceRoot& root, std::string_view devicePath); // a file or a folder
bool DeleteFile(const DeviceRoot& root, std::string_view devicePath);
// Creates one folder; fails when it exists already or its parent is missing.
bool CreateDirectory(const DeviceRoot& root, std::string_view devicePath);
// Creates a folder and every missing folder above it; succeeds when it exists already.
bool CreateDirectories(const DeviceRoot& root, std::string_view devicePath);
// The entries of a folder, unsorted, without "." and ".."; nothing when it cannot be read.
std::optional<std::vector<FolderEntry>> ListFolder(const DeviceRoot& root, std::string_view devicePath);

// A file written in full before it replaces another: the bytes go to a temporary file in the same
// folder, which Commit renames over the target. Until then, and whenever anything fails, the old
// file stays as it was; a replacement that is never committed leaves no temporary file behind.
class ReplacementFile {
public:
    // Missing folders are created.
    explicit ReplacementFile(const DeviceRoot& root, std::string_view devicePath);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Whether the temporary file could be made; Error() says why not.
    bool IsOpen() const { return m_file.IsOpen(); }
    int Error() const { return m_error != 0 ? m_error : m_file.Error(); }

    // Failures are kept: a later Commit reports the first one and replaces nothing.
    bool Write(std::string_view bytes);
    // Renames the temporary file over the target. With sync, the data reaches the disk first, so
    // the target survives a power loss too; without, it survives the program's death.
    WriteResult Commit(bool sync = true);

private:
    void Discard();

    File m_file;
    std::filesystem::path m_target;
    std::string m_tempName;
    int m_error = 0;
};

// Replaces a file's contents as one step (a ReplacementFile committed with sync). On failure the
// old file is left as it was.
bool WriteFileAtomically(const DeviceRoot& root, std::string_view devicePath, std::string_view bytes);

// Whether a host path names a regular file (not a folder, FIFO or device).
bool IsRegularFile(const std::filesystem::path& hostPath);

} // namespace platform
