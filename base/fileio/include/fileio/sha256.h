// SHA-256 (FIPS 180-4) of bytes and of files, for the manifest of the data
// tree. Digests are given as 64 lower-case hexadecimal digits, as sha256sum
// prints them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

class Sha256 {
  public:
    Sha256();
    void add(const void* data, std::size_t bytes);
    void add(std::string_view text) { add(text.data(), text.size()); }
    // The digest of everything added; the object is spent afterwards.
    std::string hexDigest();

  private:
    void compress(const unsigned char* block);
    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> buffer_{};
    std::size_t buffered_ = 0;     // bytes waiting in buffer_
    std::uint64_t totalBytes_ = 0; // bytes added so far
};

std::string sha256Hex(std::string_view bytes);

// The digest of a file's contents, or nullopt when it cannot be read.
std::optional<std::string> sha256OfFile(const std::filesystem::path& file);

} // namespace tarvo
