#include "platform/File.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace {

std::optional<std::filesystem::path> HostPath(const DeviceRoot& root, std::string_view devicePath) {
    auto host = root.ToHost(devicePath);
    if (!host) {
        errno = EACCES;
    }
    return host;
}

} // namespace

File::~File() {
    Close();
}

File::File(File&& other) noexcept : m_fd(other.m_fd), m_error(other.m_error) {
    other.m_fd = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        m_error = other.m_error;
        other.m_fd = -1;
    }
    return *this;
}

File File::Open(const DeviceRoot& root, std::string_view devicePath, int flags) {
    File file;
    const auto host = HostPath(root, devicePath);
    if (!host) {
        file.m_error = errno;
        return file;
    }
    do {
        file.m_fd = ::open(host->c_str(), flags | O_CLOEXEC, 0644);
    } while (file.m_fd < 0 && errno == EINTR);
    if (file.m_fd < 0) {
        file.m_error = errno;
    }
    return file;
}

File File::CreateAlways(const DeviceRoot& root, std::string_view devicePath) {
    return Open(root, devicePath, O_RDWR | O_CREAT | O_TRUNC);
}

File File::OpenAlways(const DeviceRoot& root, std::string_view devicePath) {
    return Open(root, devicePath, O_RDWR | O_CREAT);
}

File File::RegularOnly(File file) {
    struct stat st {};
    if (!file.IsOpen()) {
        return file;
    }
    if (::fstat(file.m_fd, &st) != 0) {
        const int error = errno;
        file.Close();
        file.m_error = error;
        return file;
    }
    if (!S_ISREG(st.st_mode)) {
        file.Close();
        file.m_error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return file;
    }
    // Opened without blocking so that a FIFO could not hold the open; reads block as usual.
    const int flags = ::fcntl(file.m_fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(file.m_fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return file;
}

File File::OpenExisting(const DeviceRoot& root, std::string_view devicePath) {
    return RegularOnly(Open(root, devicePath, O_RDONLY | O_NONBLOCK));
}

File File::OpenAppend(const DeviceRoot& root, std::string_view devicePath) {
    return RegularOnly(Open(root, devicePath, O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK));
}

bool File::Fail() {
    m_error = errno;
    return false;
}

bool File::Write(std::string_view bytes) {
    if (!IsOpen()) {
        m_error = EBADF;
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool File::WriteAt(std::uint64_t offset, std::string_view bytes) {
    if (!IsOpen()) {
        m_error = EBADF;
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

std::optional<std::size_t> File::Read(void* data, std::size_t size) {
    if (!IsOpen()) {
        m_error = EBADF;
        return std::nullopt;
    }
    for (;;) {
        const ssize_t n = ::read(m_fd, data, size);
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR) {
            Fail();
            return std::nullopt;
        }
    }
}

std::optional<std::int64_t> File::Seek(std::int64_t offset, SeekFrom from) {
    if (!IsOpen()) {
        m_error = EBADF;
        return std::nullopt;
    }
    const int whence = from == SeekFrom::Begin ? SEEK_SET : from == SeekFrom::Current ? SEEK_CUR : SEEK_END;
    const off_t pos = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    if (pos < 0) {
        Fail();
        return std::nullopt;
    }
    return static_cast<std::int64_t>(pos);
}

std::optional<std::uint64_t> File::Size() {
    struct stat st {};
    if (!IsOpen()) {
        m_error = EBADF;
        return std::nullopt;
    }
    if (::fstat(m_fd, &st) != 0) {
        Fail();
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::string> File::ReadUpTo(std::size_t limit) {
    std::string bytes;
    if (const auto size = Size()) {
        bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(*size, limit)));
    }
    char chunk[4096];
    while (bytes.size() < limit) {
        const auto n = Read(chunk, std::min(sizeof chunk, limit - bytes.size()));
        if (!n) {
            return std::nullopt;
        }
        if (*n == 0) {
            break;
        }
        bytes.append(chunk, *n);
    }
    return bytes;
}

std::optional<std::string> File::ReadAll() {
    if (!Seek(0, SeekFrom::Begin)) {
        return std::nullopt;
    }
    return ReadUpTo(std::numeric_limits<std::size_t>::max());
}

bool File::Truncate(std::uint64_t size) {
    if (!IsOpen()) {
        m_error = EBADF;
        return false;
    }
    int rc = 0;
    do {
        rc = ::ftruncate(m_fd, static_cast<off_t>(size));
    } while (rc != 0 && errno == EINTR);
    return rc == 0 || Fail();
}

bool File::Flush() {
    if (!IsOpen()) {
        m_error = EBADF;
        return false;
    }
    return ::fsync(m_fd) == 0 || Fail();
}

bool File::Close() {
    if (!IsOpen()) {
        return true;
    }
    const int fd = m_fd;
    m_fd = -1;
    // The descriptor is gone after close() even when it reports an error; never retry it.
    return ::close(fd) == 0 || Fail();
}

bool FileExists(const DeviceRoot& root, std::string_view devicePath) {
    const auto host = root.ToHost(devicePath);
    std::error_code ec;
    return host && std::filesystem::exists(*host, ec);
}

bool DeleteFile(const DeviceRoot& root, std::string_view devicePath) {
    const auto host = root.ToHost(devicePath);
    return host && ::unlink(host->c_str()) == 0;
}

bool CreateDirectory(const DeviceRoot& root, std::string_view devicePath) {
    const auto host = root.ToHost(devicePath);
    return host && ::mkdir(host->c_str(), 0755) == 0;
}

bool CreateDirectories(const DeviceRoot& root, std::string_view devicePath) {
    const auto host = root.ToHost(devicePath);
    if (!host) {
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(*host, ec);
    return !ec && std::filesystem::is_directory(*host, ec);
}

std::optional<std::vector<FolderEntry>> ListFolder(const DeviceRoot& root, std::string_view devicePath) {
    const auto host = root.ToHost(devicePath);
    if (!host) {
        return std::nullopt;
    }
    std::error_code ec;
    std::filesystem::directory_iterator it(*host, ec);
    if (ec) {
        return std::nullopt;
    }
    std::vector<FolderEntry> entries;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            return std::nullopt;
        }
        FolderEntry entry;
        entry.name = it->path().filename().string();
        std::error_code typeError;
        entry.isFolder = it->is_directory(typeError);
        entry.isHidden = !entry.name.empty() && entry.name.front() == '.';
        entries.push_back(std::move(entry));
    }
    return entries;
}

ReplacementFile::ReplacementFile(const DeviceRoot& root, std::string_view devicePath) {
    const auto host = root.ToHost(devicePath);
    if (!host || !host->has_filename()) {
        m_error = EACCES;
        return;
    }
    m_target = *host;
    const std::filesystem::path folder = host->parent_path();
    const std::string pattern = (folder / ("." + host->filename().string() + ".XXXXXX")).string();
    m_tempName = pattern;
    m_file.m_fd = ::mkostemp(m_tempName.data(), O_CLOEXEC);
    if (!m_file.IsOpen() && errno == ENOENT) {
        // The folders are made only when missing: the journal passes here every few seconds.
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        m_tempName = pattern;
        m_file.m_fd = ::mkostemp(m_tempName.data(), O_CLOEXEC);
    }
    if (!m_file.IsOpen()) {
        m_error = errno;
        m_tempName.clear();
        return;
    }
    if (::fchmod(m_file.m_fd, 0644) != 0) {
        m_error = errno;
    }
}

ReplacementFile::~ReplacementFile() {
    Discard();
}

void ReplacementFile::Discard() {
    m_file.Close();
    if (!m_tempName.empty()) {
        ::unlink(m_tempName.c_str());
        m_tempName.clear();
    }
}

bool ReplacementFile::Write(std::string_view bytes) {
    if (m_error != 0) {
        return false;
    }
    if (!m_file.Write(bytes)) {
        m_error = m_file.Error();
        return false;
    }
    return true;
}

WriteResult ReplacementFile::Commit(bool sync) {
    if (m_error == 0 && !m_file.IsOpen()) {
        m_error = EBADF;
    }
    if (m_error == 0 && sync && !m_file.Flush()) {
        m_error = m_file.Error();
    }
    if (m_error == 0 && !m_file.Close()) {
        m_error = m_file.Error();
    }
    if (m_error == 0 && ::rename(m_tempName.c_str(), m_target.c_str()) != 0) {
        m_error = errno;
    }
    if (m_error != 0) {
        Discard();
        return WriteResult::Failed(m_error);
    }
    m_tempName.clear(); // it is the target now
    return {};
}

bool WriteFileAtomically(const DeviceRoot& root, std::string_view devicePath, std::string_view bytes) {
    ReplacementFile file(root, devicePath);
    file.Write(bytes);
    return file.Commit(true).ok;
}

bool IsRegularFile(const std::filesystem::path& hostPath) {
    struct stat st {};
    return ::stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace platform
