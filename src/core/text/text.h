// Text handling at the bottom of the analysis: decoding the bytes of a file to
// UTF-8, cutting lines, letter case, trimming, and reading numbers from the files'
// fields and from the texts typed into the window's boxes. Includes nothing else of
// the analysis; never depends on the process locale.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rel {

// Windows-1251 bytes to UTF-8.
std::string Cp1251ToUtf8(std::string_view bytes);
// The same, appended to `out`.
void AppendCp1251AsUtf8(std::string& out, std::string_view bytes);

// Strict UTF-8 check: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);
// Length of the valid UTF-8 character starting at bytes[i], 0 when none starts there.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t i);

// Lines of a text: each ends at LF, a CR just before the LF (or at the very end of
// the text) is dropped. A final line without its line end counts; the line end of
// the last line does not open another one. An empty text has no lines. A text whose
// lines end at a lone CR (CRs not followed by LF outnumber the LFs, as in files of
// old Macintosh editors) ends its lines at CR, CR LF and LF alike.
std::vector<std::string_view> SplitLines(std::string_view text);
// Whether SplitLines ends the lines of this text at a lone CR too.
bool LinesEndAtCr(std::string_view text);

// The lines of a text one after another, by the rules of SplitLines, without a list
// of them: a reader of a large file walks its lines in place.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : LineCursor(text, LinesEndAtCr(text)) {}
    // `endAtCr`: what LinesEndAtCr says of the text.
    LineCursor(std::string_view text, bool endAtCr) : text_(text), cr_(endAtCr) {}
    // The next line; false after the last one.
    bool Next(std::string_view& line);
    // The text from the start of the next line on.
    std::string_view Rest() const { return text_.substr(pos_); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    bool cr_ = false;
};

// The bytes of 0x80 and above in a text: how many there are, where the first one is,
// and whether one of them can continue a UTF-8 character (0x80…0xBF). Text without
// such a byte holds no character of more than one byte in UTF-8.
struct HighBytes {
    std::size_t count = 0;
    std::size_t first = 0;  // offset of the first one; meaningful when count > 0
    bool continuation = false;
};
HighBytes ScanHighBytes(std::string_view text);

// A control character (C0, DEL, or C1 written in UTF-8) at utf8[i]: its length in
// bytes (1 or 2), 0 when there is none. TAB counts.
std::size_t ControlCharAt(std::string_view utf8, std::size_t i);
// The text with its control characters written out so that a terminal shows them
// instead of acting on them: "\x1B" for a C0 character or DEL, "\u009B" for a C1
// character. Everything else, bytes that are not UTF-8 included, is left as it is.
std::string EscapeControls(std::string_view text);

// Number of characters (code points) of a UTF-8 text.
std::size_t Utf8Length(std::string_view utf8);

// Lower case of a UTF-8 text, for case-insensitive matching: Latin, Latin-1,
// Greek and Cyrillic capitals (Ё, Ґ, Ї, Є, Ў... included) become small letters.
std::string LowerCase(std::string_view utf8);
// The same, written into `out` (its storage is reused).
void LowerCaseInto(std::string& out, std::string_view utf8);
// The lower case of Windows-1251 text, in the code page: the letters LowerCase makes
// small, so that a search in the code page finds what a search in its UTF-8 finds.
void LowerCaseCp1251Into(std::string& out, std::string_view bytes);

// The text without leading and trailing blanks and control characters (bytes up
// to and including the blank).
std::string_view Trim(std::string_view s);
std::string_view TrimLeft(std::string_view s);
// The text without the blanks and tabs around it (a number typed into a field).
std::string_view TrimBlanks(std::string_view s);

// First word of a line: the characters after any leading blanks and control
// characters up to the next blank or control character.
std::string_view FirstToken(std::string_view line);

// A real number with the point as the only decimal separator: optional sign,
// digits with an optional fraction, optional exponent; the whole text must be the
// number. Infinities, NaN and values out of the range of Double are refused.
std::optional<double> ParseReal(std::string_view s);

// An integer: optional sign and decimal digits, within the range of int.
std::optional<int> ParseInt(std::string_view s);

// A failure time: blanks around it are ignored, and both the point and the comma
// are taken as the decimal separator.
std::optional<double> ParseTimeField(std::string_view s);

// Reads a number typed into a window box: blanks around it allowed, the decimal
// separator `sep` (the point is refused when the separator is a comma, as the
// window's conversion does), an optional sign and exponent. Nothing when the
// text is not a number.
std::optional<double> ParseLocaleNumber(const std::string& text, char sep);

// A whole number written in decimal with an optional sign and surrounding blanks,
// within the range of int; nullopt for any other text.
std::optional<int> ParseIntText(std::string_view text);

// A short piece of a bad field for a message: a text of more than maxChars
// characters is cut after that many, never inside a character, and "…" added.
std::string Excerpt(std::string_view s, std::size_t maxChars = 40);

}  // namespace rel
