// The character set of an input file, decided once for the whole file: a byte-order
// mark (UTF-8, UTF-16, UTF-32), the pattern of zero bytes that 16- and 32-bit text
// without a mark leaves, valid UTF-8 throughout, or Windows-1251. A file that is
// neither one nor the other (UTF-8 with a few bytes that are not, UTF-8 lines and
// Windows-1251 lines in one file, 16- or 32-bit units that form no character) is not
// decoded: the result says where the trouble is, so the reader can name the line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rel {

// The character set a file was read in.
enum class TextEncoding {
    Ascii,        // 7-bit bytes only: the same text either way
    Utf8,         // valid UTF-8 holding non-ASCII characters, or marked as UTF-8
    Windows1251,  // the 8-bit Cyrillic code page
    Utf16LE,
    Utf16BE,
    Utf32LE,
    Utf32BE,
};

// How the encoding is named to the user: "UTF-8", "Windows-1251", "UTF-16LE"...
const char* EncodingName(TextEncoding e);

// Why the bytes were not decoded.
enum class DecodeProblem {
    None,
    BadUtf8,         // a UTF-8 file with bytes that form no UTF-8 character
    Mixed,           // lines in one encoding, then lines in another
    BadUnits,        // UTF-16/32: units that form no character (a lone surrogate, above U+10FFFF)
    TruncatedUnits,  // UTF-16/32: the length is not a whole number of units
};

struct DecodedText {
    TextEncoding encoding = TextEncoding::Ascii;
    bool byteOrderMark = false;
    std::string text;  // UTF-8 without the byte-order mark; empty when refused
    DecodeProblem problem = DecodeProblem::None;
    // Where the problem starts: the line (from 1) and the byte offset in the file
    // (from 0); BadUtf8: the first bad byte and how many there are.
    std::size_t line = 0;
    std::size_t offset = 0;
    unsigned char badByte = 0;
    std::size_t badBytes = 0;
    // Mixed: the encoding of the lines before `line` and from `line` on.
    TextEncoding before = TextEncoding::Utf8;
    TextEncoding after = TextEncoding::Windows1251;
    // DecideInputBytes: 8-bit text (ASCII, UTF-8, Windows-1251) left where it is, in
    // `encoding`: `text` stays empty and InPlaceText gives it.
    bool inPlace = false;
    bool ok() const { return problem == DecodeProblem::None; }
    // The file's own bytes that hold its text (without the byte-order mark).
    std::string_view InPlaceText(std::string_view bytes) const;
};

// Decides the character set of a whole file and decodes it to UTF-8.
// - A byte-order mark decides: UTF-32 (LE, BE), UTF-16 (LE, BE) or UTF-8.
// - Without one, text of 16- or 32-bit units is recognised by its zero bytes: most
//   ASCII characters leave one (two, three) zero bytes at the same place of each unit.
// - Otherwise 8-bit text: ASCII; UTF-8 when the whole file is valid UTF-8;
//   Windows-1251 when no line reads as UTF-8 (the same bytes every time: byte 0x98,
//   unassigned there, becomes U+FFFD). A file whose lines read as UTF-8 but that has
//   bytes that are not is refused: UTF-8 with bad bytes, or two encodings one after
//   the other. A UTF-8 byte-order mark makes the file UTF-8 whatever follows.
DecodedText DecodeInputBytes(std::string_view bytes);
// The same decision without a copy of 8-bit text: its bytes are read where they are
// (a Windows-1251 file one byte to a character); 16- and 32-bit text is decoded
// into `text` as by DecodeInputBytes.
DecodedText DecideInputBytes(std::string_view bytes);

}  // namespace rel
