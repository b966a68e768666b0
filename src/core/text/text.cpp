#include "text/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

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

constexpr char32_t Cp1251CodePoint(unsigned char c) {
    return c < 0x80 ? c : c < 0xC0 ? kCp1251High[c - 0x80] : 0x0410 + (c - 0xC0);
}

// Each byte of the code page as UTF-8: its length and its one to three bytes.
struct Utf8Form {
    unsigned char len = 0;
    std::array<char, 3> b{};
};

constexpr std::array<Utf8Form, 256> MakeCp1251Utf8() {
    std::array<Utf8Form, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const char32_t u = Cp1251CodePoint(static_cast<unsigned char>(c));
        Utf8Form& f = t[static_cast<std::size_t>(c)];
        if (u < 0x80) {
            f = {1, {static_cast<char>(u), 0, 0}};
        } else if (u < 0x800) {
            f = {2, {static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F)), 0}};
        } else {
            f = {3,
                 {static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (u & 0x3F))}};
        }
    }
    return t;
}
constexpr std::array<Utf8Form, 256> kCp1251Utf8 = MakeCp1251Utf8();

constexpr char32_t LowerChar(char32_t c) {
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

// The small letter of each byte of the code page (the byte itself for anything
// else): every capital of the code page has its small letter there too.
constexpr std::array<unsigned char, 256> MakeCp1251Lower() {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const char32_t l = LowerChar(Cp1251CodePoint(static_cast<unsigned char>(b)));
        t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
        for (int k = 0; k < 256; ++k)
            if (Cp1251CodePoint(static_cast<unsigned char>(k)) == l) {
                t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(k);
                break;
            }
    }
    return t;
}
constexpr std::array<unsigned char, 256> kCp1251Lower = MakeCp1251Lower();

// Eight bytes of a text as one word, read a word at a time where nothing but
// whole bytes matters (their order in the word never does).
std::uint64_t Word(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7FULL;

// The top bit of each byte of `w` that equals `c`, and no other bit.
std::uint64_t BytesEqual(std::uint64_t w, char c) {
    const std::uint64_t t = w ^ (0x0101010101010101ULL * static_cast<unsigned char>(c));
    return ~(((t & kLowBits) + kLowBits) | t) & kHighBits;
}

// How many bytes a mask of top bits marks.
std::size_t Marked(std::uint64_t topBits) {
    return static_cast<std::size_t>(((topBits >> 7) * 0x0101010101010101ULL) >> 56);
}

// The length of the valid UTF-8 character at s[i], 0 when none starts there.
inline std::size_t SequenceLength(const unsigned char* s, std::size_t n, std::size_t i) {
    const unsigned char c = s[i];
    const std::size_t left = n - i;
    auto cont = [&](std::size_t k) { return (s[k] & 0xC0) == 0x80; };
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return left >= 2 && cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (left < 3 || !cont(i + 1) || !cont(i + 2)) return 0;
        if (c == 0xE0 && s[i + 1] < 0xA0) return 0;   // overlong
        if (c == 0xED && s[i + 1] >= 0xA0) return 0;  // surrogate halves
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (left < 4 || !cont(i + 1) || !cont(i + 2) || !cont(i + 3)) return 0;
        if (c == 0xF0 && s[i + 1] < 0x90) return 0;   // overlong
        if (c == 0xF4 && s[i + 1] >= 0x90) return 0;  // above U+10FFFF
        return 4;
    }
    return 0;
}

const unsigned char* Bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

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

std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) { return SequenceLength(Bytes(s), s.size(), i); }

bool IsValidUtf8(std::string_view bytes) {
    const unsigned char* s = Bytes(bytes);
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        // Runs of ASCII a word at a time, two-byte characters (Cyrillic) without the
        // general rule.
        if (i + 8 <= n && (Word(bytes.data() + i) & kHighBits) == 0) {
            i += 8;
            continue;
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            i += 2;
            continue;
        }
        const std::size_t len = SequenceLength(s, n, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

void AppendCp1251AsUtf8(std::string& out, std::string_view bytes) {
    // The exact length first: a large file is not held at three times its size.
    std::size_t length = 0;
    for (char ch : bytes) length += kCp1251Utf8[static_cast<unsigned char>(ch)].len;
    const std::size_t old = out.size();
    out.resize(old + length);
    char* o = out.data() + old;
    for (char ch : bytes) {
        const Utf8Form& f = kCp1251Utf8[static_cast<unsigned char>(ch)];
        o[0] = f.b[0];
        if (f.len > 1) {
            o[1] = f.b[1];
            if (f.len > 2) o[2] = f.b[2];
        }
        o += f.len;
    }
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    AppendCp1251AsUtf8(out, bytes);
    return out;
}

HighBytes ScanHighBytes(std::string_view text) {
    HighBytes h;
    const char* p = text.data();
    const std::size_t n = text.size();
    auto one = [&h](unsigned char c, std::size_t at) {
        if (c < 0x80) return;
        if (h.count++ == 0) h.first = at;
        if ((c & 0xC0) == 0x80) h.continuation = true;
    };
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t w = Word(p + i);
        const std::uint64_t high = w & kHighBits;
        if (high == 0) continue;
        if (h.count == 0) {
            for (std::size_t k = 0; k < 8; ++k) one(static_cast<unsigned char>(p[i + k]), i + k);
            continue;
        }
        h.count += Marked(high);
        // A continuation byte: its top bit set, the next one clear.
        if (high & ~(w << 1)) h.continuation = true;
    }
    for (; i < n; ++i) one(static_cast<unsigned char>(p[i]), i);
    return h;
}

bool LinesEndAtCr(std::string_view text) {
    // The lone CRs first, a word at a time: a text without any (nearly every file)
    // ends its lines at LF.
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t loneCr = 0, i = 0;
    for (; i + 9 <= n; i += 8) {
        const std::uint64_t cr = BytesEqual(Word(p + i), '\r');
        if (cr != 0) loneCr += Marked(cr & ~BytesEqual(Word(p + i + 1), '\n'));
    }
    for (; i < n; ++i) loneCr += p[i] == '\r' && (i + 1 == n || p[i + 1] != '\n');
    if (loneCr == 0) return false;
    const auto lf = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    return loneCr > lf;
}

bool LineCursor::Next(std::string_view& line) {
    const std::size_t size = text_.size();
    const std::size_t start = pos_;
    if (start >= size) return false;
    const char* base = text_.data();
    std::size_t end = start;
    if (!cr_) {
        // The LF, a word at a time: lines are short, and a call per line to the
        // library's search costs more than the search.
        while (end + 8 <= size && BytesEqual(Word(base + end), '\n') == 0) end += 8;
        while (end < size && base[end] != '\n') ++end;
        pos_ = end == size ? end : end + 1;
        // A CR just before the LF, or at the very end of the text, ends the line with it.
        std::size_t stop = end;
        if (stop > start && base[stop - 1] == '\r') --stop;
        line = text_.substr(start, stop - start);
        return true;
    }
    end = text_.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = size;
    std::size_t next = end == size ? end : end + 1;
    if (end < size && base[end] == '\r' && next < size && base[next] == '\n') ++next;
    pos_ = next;
    line = text_.substr(start, end - start);
    return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    LineCursor cursor(text);
    for (std::string_view line; cursor.Next(line);) lines.push_back(line);
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

void LowerCaseCp1251Into(std::string& out, std::string_view bytes) {
    out.resize(bytes.size());
    std::transform(bytes.begin(), bytes.end(), out.begin(),
                   [](char c) { return static_cast<char>(kCp1251Lower[static_cast<unsigned char>(c)]); });
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
    // A time is a few characters: read from a copy on the stack.
    std::array<char, 64> small;
    std::string large;
    char* t = small.data();
    if (s.size() > small.size()) {
        large.resize(s.size());
        t = large.data();
    }
    std::replace_copy(s.begin(), s.end(), t, ',', '.');
    return ParseReal(std::string_view(t, s.size()));
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
