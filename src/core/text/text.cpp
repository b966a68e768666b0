#include "text/text.h"

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace rel {

namespace {

// Windows-1251, bytes 0x80..0xBF. Bytes 0xC0..0xFF are А..я (U+0410..U+044F).
// 0x98 is unassigned in the code page: it reads as the replacement character.
constexpr std::array<char32_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// Decodes the code point of a valid sequence of length n at s[i].
char32_t DecodeAt(std::string_view s, std::size_t i, std::size_t n) {
    const auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[k])); };
    switch (n) {
        case 1:
            return b(i);
        case 2:
            return ((b(i) & 0x1F) << 6) | (b(i + 1) & 0x3F);
        case 3:
            return ((b(i) & 0x0F) << 12) | ((b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F);
        default:
            return ((b(i) & 0x07) << 18) | ((b(i + 1) & 0x3F) << 12) | ((b(i + 2) & 0x3F) << 6) |
                   (b(i + 3) & 0x3F);
    }
}

char32_t LowerChar(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 32;  // Latin-1
    if (c >= 0x0100 && c <= 0x012F) return c | 1;  // Latin Extended-A
    if (c >= 0x0132 && c <= 0x0137) return c | 1;
    if (c >= 0x0139 && c <= 0x0148) return (c & 1) ? c + 1 : c;
    if (c >= 0x014A && c <= 0x0177) return c | 1;
    if (c == 0x0178) return 0x00FF;
    if (c >= 0x0179 && c <= 0x017E) return (c & 1) ? c + 1 : c;
    if (c >= 0x0391 && c <= 0x03A9) return c == 0x03A2 ? c : c + 32;  // Greek
    if (c >= 0x0400 && c <= 0x040F) return c + 80;                    // Ѐ..Џ, Ё, Є, Ї, Ў
    if (c >= 0x0410 && c <= 0x042F) return c + 32;                    // А..Я
    if (c >= 0x0460 && c <= 0x0481) return c | 1;                     // historic letters
    if (c >= 0x048A && c <= 0x04BF) return c | 1;                     // Ґ and others
    if (c == 0x04C0) return 0x04CF;
    if (c >= 0x04C1 && c <= 0x04CE) return (c & 1) ? c + 1 : c;
    if (c >= 0x04D0 && c <= 0x052F) return c | 1;
    return c;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the shape [sign] digits [. digits] [e [sign] digits] with at least one
// mantissa digit; returns false for anything else (words, "inf", "nan", hex).
bool HasRealShape(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    const std::size_t left = s.size() - i;
    auto cont = [&](std::size_t k) { return (b(k) & 0xC0) == 0x80; };
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return left >= 2 && cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (left < 3 || !cont(i + 1) || !cont(i + 2)) return 0;
        if (c == 0xE0 && b(i + 1) < 0xA0) return 0;   // overlong
        if (c == 0xED && b(i + 1) >= 0xA0) return 0;  // surrogate halves
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (left < 4 || !cont(i + 1) || !cont(i + 2) || !cont(i + 3)) return 0;
        if (c == 0xF0 && b(i + 1) < 0x90) return 0;   // overlong
        if (c == 0xF4 && b(i + 1) >= 0x90) return 0;  // above U+10FFFF
        return 4;
    }
    return 0;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8SequenceLength(bytes, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    auto codePoint = [](unsigned char c) -> char32_t {
        return c < 0x80 ? c : c < 0xC0 ? kCp1251High[c - 0x80] : 0x0410 + (c - 0xC0);
    };
    // The exact length first: a large file is not held at three times its size.
    std::size_t length = 0;
    for (char ch : bytes) {
        const char32_t u = codePoint(static_cast<unsigned char>(ch));
        length += u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
    }
    std::string out(length, '\0');
    char* o = out.data();
    for (char ch : bytes) {
        const char32_t u = codePoint(static_cast<unsigned char>(ch));
        if (u < 0x80) {
            *o++ = static_cast<char>(u);
        } else if (u < 0x800) {
            *o++ = static_cast<char>(0xC0 | (u >> 6));
            *o++ = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            *o++ = static_cast<char>(0xE0 | (u >> 12));
            *o++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

bool LinesEndAtCr(std::string_view text) {
    std::size_t lf = 0, loneCr = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            ++lf;
        else if (text[i] == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n'))
            ++loneCr;
    }
    return loneCr > lf;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    const bool cr = LinesEndAtCr(text);
    const char* ends = cr ? "\r\n" : "\n";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(ends, start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t next = end == text.size() ? end : end + 1;
        if (cr && end < text.size() && text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        std::size_t stop = end;
        if (!cr && stop > start && text[stop - 1] == '\r') --stop;
        lines.push_back(text.substr(start, stop - start));
        start = next;
    }
    return lines;
}

std::size_t ControlCharAt(std::string_view utf8, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x20 || c == 0x7F) return 1;
    if (c == 0xC2 && i + 1 < utf8.size()) {
        const unsigned char d = static_cast<unsigned char>(utf8[i + 1]);
        if (d >= 0x80 && d <= 0x9F) return 2;
    }
    return 0;
}

std::string EscapeControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = ControlCharAt(text, i);
        if (n == 0) {
            out += text[i++];
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(text[i + n - 1]);
        const unsigned code = n == 1 ? c : 0x80u + (c & 0x1Fu);
        out += n == 1 ? "\\x" : "\\u00";
        out += kHex[code >> 4];
        out += kHex[code & 0xF];
        i += n;
    }
    return out;
}

std::size_t Utf8Length(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

void LowerCaseInto(std::string& out, std::string_view utf8) {
    // Every capital handled here and its small letter have UTF-8 forms of the same
    // length (one or two bytes), so the text is changed in place.
    out.assign(utf8);
    char* p = out.data();
    const std::size_t n = out.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z') p[i] = static_cast<char>(c + 32);
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF && i + 1 < n && (static_cast<unsigned char>(p[i + 1]) & 0xC0) == 0x80) {
            const char32_t u =
                (static_cast<char32_t>(c & 0x1F) << 6) | (static_cast<unsigned char>(p[i + 1]) & 0x3F);
            const char32_t l = LowerChar(u);
            if (l != u) {
                p[i] = static_cast<char>(0xC0 | (l >> 6));
                p[i + 1] = static_cast<char>(0x80 | (l & 0x3F));
            }
            i += 2;
            continue;
        }
        const std::size_t len = Utf8SequenceLength(out, i);
        if (len == 2) {
            const char32_t u = DecodeAt(out, i, 2);
            const char32_t l = LowerChar(u);
            if (l != u) {
                p[i] = static_cast<char>(0xC0 | (l >> 6));
                p[i + 1] = static_cast<char>(0x80 | (l & 0x3F));
            }
        }
        i += len == 0 ? 1 : len;  // bytes that are not UTF-8 stay as they are
    }
}

std::string LowerCase(std::string_view utf8) {
    std::string out;
    LowerCaseInto(out, utf8);
    return out;
}

std::string_view TrimLeft(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= 0x20) ++b;
    return s.substr(b);
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    std::size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= 0x20) --e;
    return s.substr(0, e);
}

std::string_view FirstToken(std::string_view line) {
    line = TrimLeft(line);
    std::size_t e = 0;
    while (e < line.size() && static_cast<unsigned char>(line[e]) > 0x20) ++e;
    return line.substr(0, e);
}

std::optional<double> ParseReal(std::string_view s) {
    if (!HasRealShape(s)) return std::nullopt;
    if (s.front() == '+') s.remove_prefix(1);
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<int> ParseInt(std::string_view s) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return std::nullopt;
    }
    if (s.empty()) return std::nullopt;
    long long v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, 10);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    if (v < INT_MIN || v > INT_MAX) return std::nullopt;
    return static_cast<int>(v);
}

std::optional<double> ParseTimeField(std::string_view s) {
    s = Trim(s);
    std::string t(s);
    for (char& c : t)
        if (c == ',') c = '.';
    return ParseReal(t);
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<double> ParseLocaleNumber(const std::string& text, char sep) {
    std::size_t b = 0, e = text.size();
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (b < e && blank(text[b])) ++b;
    while (e > b && blank(text[e - 1])) --e;
    if (b < e && text[b] == '+') ++b;
    std::string s;
    bool digits = false, seenSep = false, seenExp = false;
    for (std::size_t i = b; i < e; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            s += c;
        } else if (c == '-' && (i == b || (seenExp && (text[i - 1] == 'e' || text[i - 1] == 'E')))) {
            s += c;
        } else if (c == '+' && seenExp && (text[i - 1] == 'e' || text[i - 1] == 'E')) {
            // from_chars takes no plus sign in the exponent
        } else if (c == sep && !seenSep && !seenExp) {
            seenSep = true;
            s += '.';
        } else if ((c == 'e' || c == 'E') && digits && !seenExp) {
            seenExp = true;
            s += 'e';
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

std::optional<int> ParseIntText(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return std::nullopt;
    }
    if (s.empty()) return std::nullopt;
    int v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, 10);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

std::string Excerpt(std::string_view s, std::size_t maxChars) {
    if (Utf8Length(s) <= maxChars) return std::string(s);
    std::size_t chars = 0, i = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == maxChars) break;
            ++chars;
        }
    }
    return std::string(s.substr(0, i)) + "…";
}

}  // namespace rel
