#pragma once
// Where a PE image keeps what the installer's own code reads of it: the
// stamp tool writing a signature into the installer, the downloader judging
// whether a program arrived whole. Offsets count from the field's header.

#include <cstdint>

namespace lumen::pe {

inline constexpr std::uint16_t kMzSignature = 0x5A4D;      // "MZ"
inline constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
inline constexpr std::uint64_t kDosHeaderSize = 64;
inline constexpr std::uint64_t kPeOffsetField = 0x3C;
inline constexpr std::uint64_t kCoffHeaderSize = 20;
inline constexpr std::uint64_t kSectionHeaderSize = 40;
inline constexpr std::uint64_t kSymbolSize = 18;
inline constexpr std::uint64_t kStringTableSizeField = 4;
// Optional header fields at the same offsets in PE32 and PE32+.
inline constexpr std::uint64_t kSizeOfHeadersField = 60;
inline constexpr std::uint64_t kChecksumField = 64;
inline constexpr std::uint64_t kDirectorySize = 8;
// The certificate directory, the fifth, whose address is a file offset and
// not an address in memory: the signature lies after everything else.
inline constexpr std::uint64_t kCertificateDirectory = 4;

// PE32 (i386) and PE32+ (AMD64) differ in where the optional header keeps
// its data directories.
struct Format {
  std::uint16_t machine;
  std::uint16_t magic;
  std::uint64_t directory_count_field;
  std::uint64_t directories_start;
};
inline constexpr Format kPe32{0x014C, 0x010B, 92, 96};
inline constexpr Format kPe32Plus{0x8664, 0x020B, 108, 112};

}  // namespace lumen::pe
