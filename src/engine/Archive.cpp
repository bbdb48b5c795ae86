#include "engine/Archive.h"

#include "platform/TextCodec.h"

#include <bit>
#include <limits>

namespace {

// Length prefixes: a byte below 0xFF, else 0xFF and a 16-bit value below 0xFFFF, else 0xFF 0xFFFF
// and a 32-bit value, of which 0xFFFFFFFF announces a 64-bit value. A 16-bit 0xFFFE in place of
// the first length marks a wide (UTF-16) string.
constexpr std::uint8_t kByteEscape = 0xFF;
constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kWordEscape = 0xFFFF;
constexpr std::uint32_t kDwordEscape = 0xFFFFFFFF;

} // namespace

void ArchiveWriter::WriteLittleEndian(std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        m_bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void ArchiveWriter::WriteDword(std::uint32_t value) {
    WriteLittleEndian(value, 4);
}

void ArchiveWriter::WriteDouble(double value) {
    WriteLittleEndian(std::bit_cast<std::uint64_t>(value), 8);
}

void ArchiveWriter::WriteString(std::string_view utf8) {
    const std::string text = platform::Utf8ToUtf16Le(utf8);
    const std::uint64_t length = text.size() / 2;
    WriteLittleEndian(kByteEscape, 1);
    WriteLittleEndian(kWideMarker, 2);
    if (length < kByteEscape) {
        WriteLittleEndian(length, 1);
    } else if (length < kWideMarker) {
        WriteLittleEndian(kByteEscape, 1);
        WriteLittleEndian(length, 2);
    } else {
        WriteLittleEndian(kByteEscape, 1);
        WriteLittleEndian(kWordEscape, 2);
        WriteLittleEndian(length, 4);
    }
    m_bytes += text;
}

bool ArchiveReader::ReadLittleEndian(std::uint64_t& value, int bytes) {
    if (m_rest.size() < static_cast<std::size_t>(bytes)) {
        return false;
    }
    value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(m_rest[i])) << (8 * i);
    }
    m_rest.remove_prefix(static_cast<std::size_t>(bytes));
    return true;
}

bool ArchiveReader::ReadDword(std::uint32_t& value) {
    std::uint64_t v = 0;
    if (!ReadLittleEndian(v, 4)) {
        return false;
    }
    value = static_cast<std::uint32_t>(v);
    return true;
}

bool ArchiveReader::ReadDouble(double& value) {
    std::uint64_t v = 0;
    if (!ReadLittleEndian(v, 8)) {
        return false;
    }
    value = std::bit_cast<double>(v);
    return true;
}

// The rest of a length after its first byte was the escape 0xFF.
bool ArchiveReader::ReadLength(std::uint64_t& length) {
    if (!ReadLittleEndian(length, 2)) {
        return false;
    }
    if (length < kWordEscape) {
        return true;
    }
    if (!ReadLittleEndian(length, 4)) {
        return false;
    }
    return length < kDwordEscape || ReadLittleEndian(length, 8);
}

bool ArchiveReader::ReadString(std::string& utf8) {
    std::uint64_t length = 0;
    bool wide = false;
    if (!ReadLittleEndian(length, 1)) {
        return false;
    }
    if (length == kByteEscape) {
        if (!ReadLittleEndian(length, 2)) {
            return false;
        }
        if (length == kWideMarker) {
            wide = true;
            if (!ReadLittleEndian(length, 1)) {
                return false;
            }
            if (length == kByteEscape && !ReadLength(length)) {
                return false;
            }
        } else if (length == kWordEscape) {
            if (!ReadLittleEndian(length, 4) || (length == kDwordEscape && !ReadLittleEndian(length, 8))) {
                return false;
            }
        }
    }
    // A length beyond what the file holds is a cut-off or hostile file, never a size to allocate.
    const std::uint64_t available = wide ? m_rest.size() / 2 : m_rest.size();
    if (length > available) {
        return false;
    }
    const auto byteCount = static_cast<std::size_t>(wide ? length * 2 : length);
    const std::string_view raw = m_rest.substr(0, byteCount);
    m_rest.remove_prefix(byteCount);
    utf8 = wide ? platform::Utf16LeToUtf8(raw) : platform::Cp932ToUtf8(raw);
    return true;
}
