// Code page 437 glyphs and UTF-8 text for the console.
//
// The screens of the suite use the classic console glyphs (block 178,
// degree 248, full block 219, box drawing ...). The console shows them as
// their Unicode equivalents; text passed to the console is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace console {

// Unicode code point of code-page-437 byte b. Bytes 1..31 and 127 give
// the console's pictographic glyphs (smileys, arrows, house), 0 gives a
// blank, 32..126 are ASCII.
char32_t cp437ToUnicode(unsigned char b);

// UTF-8 encoding of one code point (invalid code points give U+FFFD).
std::string utf8Encode(char32_t cp);

// UTF-8 string of the glyph for code-page-437 byte b, e.g. cp437(248) = "°".
std::string cp437(unsigned char b);

// The same glyph repeated n times (progress bars, frames).
std::string cp437Repeat(unsigned char b, int n);

// Decodes the next character of text starting at byte pos, advancing pos.
// Valid UTF-8 sequences give their code point. A byte that does not start a
// valid sequence is read as a code-page-437 byte, so legacy text with raw
// console glyphs shows correctly.
char32_t decodeNextChar(std::string_view text, std::size_t& pos);

// Number of characters decodeNextChar finds in text.
std::size_t charCount(std::string_view text);

} // namespace console
