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
    // Opens an existing file for reading only.
    static File OpenExisting(const DeviceRoot& root, std::string_view devicePath);

    bool IsOpen() const { return m_fd >= 0; }
    int Error() const { return m_error; }

    // Writes every byte or reports failure.
    bool Write(std::string_view bytes);
    // Reads up to size bytes; 0 at the end of the file; nothing on failure.
    std::optional<std::size_t> Read(void* data, std::size_t size);
    // The new position from the start of the file.
    std::optional<std::int64_t> Seek(std::int64_t offset, SeekFrom from);
    std::optional<std::uint64_t> Size();
    // Reads on from the current position to the end, but no more than limit bytes.
    std::optional<std::string> ReadUpTo(std::size_t limit);
    // Reads the whole file from its start.
    std::optional<std::string> ReadAll();
    // Pushes the written data to the disk.
    bool Flush();
    // Closes the file; reports a failure to do so (the file is closed either way).
    bool Close();

private:
    friend bool WriteFileAtomically(const DeviceRoot&, std::string_view, std::string_view);
    static File Open(const DeviceRoot& root, std::string_view devicePath, int flags);
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

// Replaces a file's contents as one step: the bytes go to a temporary file in the same folder,
// which is then renamed over the target. Missing folders are created. On failure the old file is
// left as it was.
bool WriteFileAtomically(const DeviceRoot& root, std::string_view devicePath, std::string_view bytes);

} // namespace platform
