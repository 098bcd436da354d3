#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The version block a program carries in its executable: a marker, the payload
// length, a checksum and the payload, a list of NUL-terminated key/value pairs
// such as "\StringFileInfo\041504E2\ProductVersion" = "1.3.0.0". The same
// writer builds the program's block at compile time and the tests' samples at
// run time; ReadVersionInfo reads it back from any file.
namespace VersionBlock {

struct Entry
{
    std::string_view key;
    std::string_view value;
};

inline constexpr std::array<char, 8> kMarker{'\x7F', 'D', 'V', 'V', 'E', 'R', '\x01', '\x00'};
inline constexpr std::size_t kHeaderSize = kMarker.size() + 8;
inline constexpr std::size_t kMaxPayload = 64 * 1024;

constexpr std::uint32_t Checksum(const char *data, std::size_t size)
{
    std::uint32_t h = 2166136261u; // FNV-1a
    for (std::size_t i = 0; i < size; ++i) {
        h ^= static_cast<unsigned char>(data[i]);
        h *= 16777619u;
    }
    return h;
}

constexpr std::size_t PayloadSize(std::span<const Entry> entries)
{
    std::size_t n = 0;
    for (const Entry &e : entries)
        n += e.key.size() + 1 + e.value.size() + 1;
    return n;
}

constexpr std::size_t BlockSize(std::span<const Entry> entries)
{
    return kHeaderSize + PayloadSize(entries);
}

constexpr void PutU32(char *out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Writes the block into `out`, which holds BlockSize(entries) bytes.
constexpr void Write(std::span<const Entry> entries, char *out)
{
    for (std::size_t i = 0; i < kMarker.size(); ++i)
        out[i] = kMarker[i];
    char *payload = out + kHeaderSize;
    char *p = payload;
    for (const Entry &e : entries) {
        for (char c : e.key)
            *p++ = c;
        *p++ = '\0';
        for (char c : e.value)
            *p++ = c;
        *p++ = '\0';
    }
    const auto size = static_cast<std::size_t>(p - payload);
    PutU32(out + kMarker.size(), static_cast<std::uint32_t>(size));
    PutU32(out + kMarker.size() + 4, Checksum(payload, size));
}

} // namespace VersionBlock
