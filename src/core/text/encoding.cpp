#include "text/encoding.h"

#include <cstdint>
#include <cstring>

#include "text/text.h"

namespace rel {

namespace {

unsigned char Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

void AppendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// Line (from 1) of the end of a decoded text, by the line ends SplitLines takes.
std::size_t LineAtEnd(std::string_view text) {
    std::size_t line = 1;
    const bool cr = LinesEndAtCr(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
        } else if (cr && text[i] == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n')) {
            ++line;
        }
    }
    return line;
}

// 16- or 32-bit text: the code units in the given byte order.
struct UnitForm {
    int size;  // 2 or 4 bytes
    bool little;
};

char32_t UnitAt(std::string_view s, std::size_t i, UnitForm f) {
    char32_t u = 0;
    for (int k = 0; k < f.size; ++k) {
        const char32_t b = Byte(s, i + static_cast<std::size_t>(f.little ? f.size - 1 - k : k));
        u = (u << 8) | b;
    }
    return u;
}

DecodedText DecodeUnits(std::string_view bytes, std::size_t skip, UnitForm f, TextEncoding enc, bool bom) {
    DecodedText d;
    d.encoding = enc;
    d.byteOrderMark = bom;
    std::string out;
    out.reserve((bytes.size() - skip) / static_cast<std::size_t>(f.size) * 2);
    const std::size_t unit = static_cast<std::size_t>(f.size);
    const std::size_t end = skip + (bytes.size() - skip) / unit * unit;
    auto refuse = [&](DecodeProblem p, std::size_t at) {
        d.problem = p;
        d.offset = at;
        d.line = LineAtEnd(out);
        d.text.clear();
        return d;
    };
    for (std::size_t i = skip; i < end; i += unit) {
        char32_t u = UnitAt(bytes, i, f);
        if (f.size == 2 && u >= 0xD800 && u <= 0xDBFF) {
            // A high surrogate takes the low one after it.
            if (i + 2 * unit > end) return refuse(DecodeProblem::BadUnits, i);
            const char32_t lo = UnitAt(bytes, i + unit, f);
            if (lo < 0xDC00 || lo > 0xDFFF) return refuse(DecodeProblem::BadUnits, i);
            u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
            i += unit;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            return refuse(DecodeProblem::BadUnits, i);
        } else if (u > 0x10FFFF) {
            return refuse(DecodeProblem::BadUnits, i);
        }
        AppendUtf8(out, u);
    }
    if (end != bytes.size()) return refuse(DecodeProblem::TruncatedUnits, end);
    d.text = std::move(out);
    return d;
}

// Text of 32-bit units without a mark: every unit holds a code point (its highest
// byte zero, the next at most 0x10), and a good share of them are ASCII characters
// (three zero bytes). Either byte order.
bool Looks32(std::string_view b, bool little) {
    if (b.size() < 8 || b.size() % 4 != 0) return false;
    std::size_t ascii = 0;
    const std::size_t n = b.size() / 4;
    for (std::size_t q = 0; q < n; ++q) {
        const std::size_t i = 4 * q;
        const unsigned char hi = little ? Byte(b, i + 3) : Byte(b, i);
        const unsigned char next = little ? Byte(b, i + 2) : Byte(b, i + 1);
        const unsigned char mid = little ? Byte(b, i + 1) : Byte(b, i + 2);
        const unsigned char lo = little ? Byte(b, i) : Byte(b, i + 3);
        if (hi != 0 || next > 0x10) return false;
        ascii += next == 0 && mid == 0 && lo != 0;
    }
    return ascii >= 2 && ascii * 8 >= n;
}

// Text of 16-bit units without a mark: ASCII characters leave a zero byte in the
// same half of each unit, at least one unit in eight and four in all, while units
// with the zero in the other half stay rare. Stray zero bytes in 8-bit text never
// make such a pattern.
enum class Pattern16 { None, LE, BE };
Pattern16 Looks16(std::string_view b) {
    // Either pattern needs zero bytes; most 8-bit text has none at all.
    if (b.empty() || std::memchr(b.data(), 0, b.size()) == nullptr) return Pattern16::None;
    const std::size_t n = b.size() / 2;
    std::size_t zeroHigh = 0, zeroLow = 0;  // little-endian ASCII / big-endian ASCII
    for (std::size_t k = 0; k < n; ++k) {
        const unsigned char x = Byte(b, 2 * k), y = Byte(b, 2 * k + 1);
        zeroHigh += x != 0 && y == 0;
        zeroLow += x == 0 && y != 0;
    }
    if (zeroHigh >= 4 && zeroHigh * 8 >= n && zeroLow * 8 <= zeroHigh) return Pattern16::LE;
    if (zeroLow >= 4 && zeroLow * 8 >= n && zeroHigh * 8 <= zeroLow) return Pattern16::BE;
    return Pattern16::None;
}

// One line of 8-bit text read as UTF-8.
struct LineScan {
    std::size_t valid = 0;     // multi-byte UTF-8 characters
    std::size_t bad = 0;       // bytes that belong to no UTF-8 character
    std::size_t firstBad = 0;  // offset of the first of them in the line
    bool ReadsAsUtf8() const { return valid > 0 && valid >= 2 * bad; }
    bool ReadsAs8Bit() const { return bad > 0 && !ReadsAsUtf8(); }
};

LineScan ScanLine(std::string_view s) {
    LineScan sc;
    // Without a byte that can continue a character the line holds no character of
    // more than one byte: each of its high bytes is a bad one.
    const HighBytes high = ScanHighBytes(s);
    if (!high.continuation) {
        sc.bad = high.count;
        sc.firstBad = high.first;
        return sc;
    }
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = Utf8SequenceLength(s, i);
        if (n == 0) {
            if (sc.bad == 0) sc.firstBad = i;
            ++sc.bad;
            ++i;
        } else {
            sc.valid += n > 1;
            i += n;
        }
    }
    return sc;
}

// Whether no line of 8-bit text reads as UTF-8. Only a line with a byte that can
// continue a character (0x80…0xBF) can: the text is searched for such bytes a word
// at a time, and only their lines are read, each once.
bool NoLineReadsAsUtf8(std::string_view body) {
    const char* p = body.data();
    const std::size_t n = body.size();
    int endAtCr = -1;          // LinesEndAtCr, once a line is looked at
    std::size_t lookedTo = 0;  // the lines before this place were looked at
    auto readsAsUtf8 = [&](std::size_t at) {
        if (at < lookedTo) return false;
        if (endAtCr < 0) endAtCr = LinesEndAtCr(body) ? 1 : 0;
        auto ends = [&](char c) { return c == '\n' || (endAtCr == 1 && c == '\r'); };
        std::size_t b = at, e = at;
        while (b > 0 && !ends(p[b - 1])) --b;
        while (e < n && !ends(p[e])) ++e;
        lookedTo = e;
        return ScanLine(body.substr(b, e - b)).ReadsAsUtf8();
    };
    auto continues = [p](std::size_t at) { return (static_cast<unsigned char>(p[at]) & 0xC0) == 0x80; };
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, sizeof w);
        if ((w & ~(w << 1) & 0x8080808080808080ULL) == 0) continue;
        for (std::size_t k = i; k < i + 8; ++k)
            if (continues(k) && readsAsUtf8(k)) return false;
    }
    for (; i < n; ++i)
        if (continues(i) && readsAsUtf8(i)) return false;
    return true;
}

// The character set of 8-bit text; the text itself stays where it is.
DecodedText Decide8Bit(std::string_view bytes) {
    DecodedText d;
    d.inPlace = true;
    std::size_t skip = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        d.byteOrderMark = true;
        skip = 3;
    }
    const std::string_view body = bytes.substr(skip);
    if (IsValidUtf8(body)) {
        const bool ascii = ScanHighBytes(body).count == 0;
        d.encoding = ascii && !d.byteOrderMark ? TextEncoding::Ascii : TextEncoding::Utf8;
        return d;
    }
    // No line reads as UTF-8: the code page, as it always was (the rule below, in
    // one quick look).
    if (!d.byteOrderMark && NoLineReadsAsUtf8(body)) {
        d.encoding = TextEncoding::Windows1251;
        return d;
    }

    // Each line read as UTF-8: how many characters it gives, how many bytes fail;
    // the lines that read as UTF-8 and those that read as the code page.
    const std::size_t none = static_cast<std::size_t>(-1);
    std::size_t totalBad = 0, firstBadLine = none, firstBadOffset = 0;
    std::size_t utf8Lines = 0, utf8Chars = 0, cpBad = 0;
    std::size_t firstU = none, lastU = 0, firstW = none, lastW = 0, firstUStart = 0, firstWStart = 0;
    LineCursor lines(body);
    std::string_view s;
    std::size_t l = 0;
    for (; lines.Next(s); ++l) {
        const LineScan sc = ScanLine(s);
        const std::size_t start = static_cast<std::size_t>(s.data() - body.data());
        totalBad += sc.bad;
        if (sc.bad > 0 && firstBadLine == none) {
            firstBadLine = l;
            firstBadOffset = skip + start + sc.firstBad;
        }
        if (sc.ReadsAsUtf8()) {
            ++utf8Lines;
            utf8Chars += sc.valid;
            if (firstU == none) {
                firstU = l;
                firstUStart = start;
            }
            lastU = l;
        } else if (sc.ReadsAs8Bit()) {
            cpBad += sc.bad;
            if (firstW == none) {
                firstW = l;
                firstWStart = start;
            }
            lastW = l;
        }
    }

    auto badUtf8 = [&]() {
        d.inPlace = false;
        d.encoding = TextEncoding::Utf8;
        d.problem = DecodeProblem::BadUtf8;
        d.line = firstBadLine + 1;
        d.offset = firstBadOffset;
        d.badByte = Byte(bytes, d.offset);
        d.badBytes = totalBad;
        return d;
    };

    if (utf8Lines == 0 && !d.byteOrderMark) {
        // No line reads as UTF-8: the code page, as it always was.
        d.encoding = TextEncoding::Windows1251;
        return d;
    }
    // Lines of UTF-8 and lines of the code page, each kind together, with enough of
    // each that neither is a few stray bytes: two encodings one after the other.
    const bool both = utf8Lines > 0 && firstW != none;
    if (both && utf8Chars >= 3 && cpBad >= 3 && (lastU < firstW || lastW < firstU)) {
        d.inPlace = false;
        d.encoding = TextEncoding::Utf8;
        d.problem = DecodeProblem::Mixed;
        const bool utf8First = lastU < firstW;
        d.before = utf8First ? TextEncoding::Utf8 : TextEncoding::Windows1251;
        d.after = utf8First ? TextEncoding::Windows1251 : TextEncoding::Utf8;
        d.line = (utf8First ? firstW : firstU) + 1;
        d.offset = skip + (utf8First ? firstWStart : firstUStart);
        return d;
    }
    // More UTF-8 than bad bytes (or a mark saying UTF-8): a UTF-8 file with bytes
    // that are not; otherwise a code-page file where a line happens to read as UTF-8.
    if (d.byteOrderMark || utf8Chars >= cpBad) return badUtf8();
    d.encoding = TextEncoding::Windows1251;
    return d;
}

}  // namespace

const char* EncodingName(TextEncoding e) {
    switch (e) {
        case TextEncoding::Ascii:
            return "ASCII";
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Windows1251:
            return "Windows-1251";
        case TextEncoding::Utf16LE:
            return "UTF-16LE";
        case TextEncoding::Utf16BE:
            return "UTF-16BE";
        case TextEncoding::Utf32LE:
            return "UTF-32LE";
        case TextEncoding::Utf32BE:
            return "UTF-32BE";
    }
    return "";
}

DecodedText DecideInputBytes(std::string_view bytes) {
    // Byte-order marks; UTF-32LE's begins with UTF-16LE's, so it is looked at first.
    if (bytes.substr(0, 4) == std::string_view("\xFF\xFE\0\0", 4))
        return DecodeUnits(bytes, 4, {4, true}, TextEncoding::Utf32LE, true);
    if (bytes.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4))
        return DecodeUnits(bytes, 4, {4, false}, TextEncoding::Utf32BE, true);
    if (bytes.substr(0, 2) == "\xFF\xFE") return DecodeUnits(bytes, 2, {2, true}, TextEncoding::Utf16LE, true);
    if (bytes.substr(0, 2) == "\xFE\xFF") return DecodeUnits(bytes, 2, {2, false}, TextEncoding::Utf16BE, true);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return Decide8Bit(bytes);
    if (Looks32(bytes, true)) return DecodeUnits(bytes, 0, {4, true}, TextEncoding::Utf32LE, false);
    if (Looks32(bytes, false)) return DecodeUnits(bytes, 0, {4, false}, TextEncoding::Utf32BE, false);
    switch (Looks16(bytes)) {
        case Pattern16::LE:
            return DecodeUnits(bytes, 0, {2, true}, TextEncoding::Utf16LE, false);
        case Pattern16::BE:
            return DecodeUnits(bytes, 0, {2, false}, TextEncoding::Utf16BE, false);
        case Pattern16::None:
            break;
    }
    return Decide8Bit(bytes);
}

std::string_view DecodedText::InPlaceText(std::string_view bytes) const {
    return bytes.substr(byteOrderMark ? 3 : 0);
}

DecodedText DecodeInputBytes(std::string_view bytes) {
    DecodedText d = DecideInputBytes(bytes);
    if (d.inPlace) {
        d.text = d.encoding == TextEncoding::Windows1251 ? Cp1251ToUtf8(bytes) : std::string(d.InPlaceText(bytes));
        d.inPlace = false;
    }
    return d;
}

}  // namespace rel
