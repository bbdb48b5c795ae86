#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Typed little-endian fields as the settings file stores them: 32-bit integers, IEEE doubles and
// length-prefixed strings.
class ArchiveWriter {
public:
    void WriteDword(std::uint32_t value);
    void WriteDouble(double value);
    // Always the wide (UTF-16LE) form.
    void WriteString(std::string_view utf8);

    const std::string& Bytes() const { return m_bytes; }

private:
    void WriteLittleEndian(std::uint64_t value, int bytes);

    std::string m_bytes;
};

// Reads fields back; every read is bounded by the bytes that are left, so a length that promises
// more than the file holds fails instead of allocating it.
class ArchiveReader {
public:
    explicit ArchiveReader(std::string_view bytes) : m_rest(bytes) {}

    bool ReadDword(std::uint32_t& value);
    bool ReadDouble(double& value);
    // Accepts both the wide form and the narrow form (in the handheld's code page).
    bool ReadString(std::string& utf8);

private:
    bool ReadLittleEndian(std::uint64_t& value, int bytes);
    bool ReadLength(std::uint64_t& length);

    std::string_view m_rest;
};
