// Bounds-checked reading of integers and IEEE doubles from a byte buffer in
// a given byte order. A read past the end yields 0 and clears `ok`, so a
// parser can read a whole structure and check once.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tarvo {

class ByteCursor {
public:
    ByteCursor(const unsigned char* data, std::size_t size, bool bigEndian)
        : data_(data), size_(size), bigEndian_(bigEndian) {}

    bool ok() const { return ok_; }
    std::size_t position() const { return position_; }
    std::size_t size() const { return size_; }
    std::size_t remaining() const { return position_ <= size_ ? size_ - position_ : 0; }

    void seek(std::size_t position)
    {
        if (position > size_) ok_ = false;
        position_ = position;
    }
    void skip(std::size_t count) { seek(count > remaining() ? size_ + 1 : position_ + count); }

    std::uint64_t unsignedInteger(int bytes)
    {
        if (!ok_ || remaining() < static_cast<std::size_t>(bytes)) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const int index = bigEndian_ ? i : bytes - 1 - i;
            value = (value << 8) | data_[position_ + index];
        }
        position_ += bytes;
        return value;
    }
    std::int16_t i16() { return static_cast<std::int16_t>(static_cast<std::uint16_t>(unsignedInteger(2))); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(unsignedInteger(4)); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::uint64_t u64() { return unsignedInteger(8); }
    double f64() { return std::bit_cast<double>(u64()); }
    float f32() { return std::bit_cast<float>(u32()); }

    // `count` raw characters.
    std::string characters(std::size_t count)
    {
        if (!ok_ || remaining() < count) {
            ok_ = false;
            return {};
        }
        std::string text(reinterpret_cast<const char*>(data_ + position_), count);
        position_ += count;
        return text;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
    bool bigEndian_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

// Text with trailing blanks and NULs removed.
inline std::string trimmedRight(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
}

}  // namespace tarvo
