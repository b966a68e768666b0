// The reading rules every input file of an analysis follows (the failure data file,
// the warranty end-time file, and any other file of figures read the same way): the
// character set decided for the whole file, or the file refused with the line where
// it cannot be read; a line that holds a number read only when it holds no control
// character, so that a stray byte never shortens a number.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/encoding.h"

namespace rel {

// A file's text as UTF-8, or why it cannot be read (naming the file, the line, the
// byte and the encoding; the reader adds what was not loaded).
struct InputText {
    bool ok = false;
    std::string text;
    std::string error;
    TextEncoding encoding = TextEncoding::Ascii;
    // OpenInputFile: 8-bit text is not copied; it is the file's bytes from `skip` on
    // (after the byte-order mark), in `encoding`.
    bool inPlace = false;
    std::size_t skip = 0;
    // The text of the file whose bytes these are.
    std::string_view Text(std::string_view bytes) const {
        return inPlace ? bytes.substr(skip) : std::string_view(text);
    }
};
InputText DecodeInputFile(std::string_view bytes, const std::string& path);
// The same decision and refusals without a decoded copy of 8-bit text (a reader that
// reads Windows-1251 itself): see DecideInputBytes.
InputText OpenInputFile(std::string_view bytes, const std::string& path);

// Whether a line is blank: nothing but blanks and tabs. A line of control characters
// is not blank: where a number is expected it is refused.
bool IsBlankLine(std::string_view line);

// The refusal of a line that holds a number (`what`, as the messages name it) and a
// control character, TAB excepted; nothing when the line has none. `lineIndex` counts
// from 0.
std::optional<std::string> ControlCharInNumberLine(std::string_view line, std::size_t lineIndex,
                                                   const std::string& path, const char* what);

// Whether a field holds a control character (TAB included).
bool HasControlChar(std::string_view field);

// «text» for a message: at most 40 characters, control characters written out.
std::string QuotedExcerpt(std::string_view text);

}  // namespace rel
