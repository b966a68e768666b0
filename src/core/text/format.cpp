#include "text/format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace rel {

namespace {

std::string NonFinite(double x) {
    if (std::isnan(x)) return "NAN";
    return x < 0 ? "-INF" : "INF";
}

std::string PadLeft(std::string s, int width) {
    if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), ' ');
    return s;
}

std::string PadRight(std::string s, int width) {
    if (static_cast<int>(s.size()) < width) s.append(width - s.size(), ' ');
    return s;
}

void ReplacePoint(std::string& s, char sep) {
    for (char& c : s)
        if (c == '.') c = sep;
}

// Significant digits of |x| rounded to n digits, and the decimal exponent of the first.
struct Digits {
    std::string d;  // n digits, no point
    int exp = 0;
};

Digits SignificantDigits(double ax, int n) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, ax, std::chars_format::scientific, n - 1);
    std::string s(buf, r.ptr);
    const auto e = s.find('e');
    Digits out;
    for (std::size_t i = 0; i < e; ++i)
        if (s[i] != '.') out.d.push_back(s[i]);
    out.exp = std::atoi(s.c_str() + e + 1);
    return out;
}

std::string StripTrailingZeros(std::string d) {
    while (d.size() > 1 && d.back() == '0') d.pop_back();
    return d;
}

// Mantissa "d.ddd" + "E" + exponent (sign only when negative), at least minExpDigits digits.
std::string ExponentForm(const Digits& g, char sep, int minExpDigits) {
    const std::string d = StripTrailingZeros(g.d);
    std::string s(1, d[0]);
    if (d.size() > 1) {
        s += sep;
        s.append(d, 1, std::string::npos);
    }
    s += 'E';
    if (g.exp < 0) s += '-';
    std::string e = std::to_string(std::abs(g.exp));
    if (static_cast<int>(e.size()) < minExpDigits) e.insert(0, minExpDigits - e.size(), '0');
    return s + e;
}

}  // namespace

double RoundHalfEven(double x) {
    if (!std::isfinite(x)) return x;
    const double r = std::nearbyint(x);  // default rounding mode: to nearest, ties to even
    return r;
}

std::string FormatFixed(double x, int width, int decimals, char sep, bool leftAlign) {
    std::string s;
    if (!std::isfinite(x)) {
        s = NonFinite(x);
    } else {
        char buf[400];
        auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
        s.assign(buf, r.ptr);
        ReplacePoint(s, sep);
    }
    return leftAlign ? PadRight(std::move(s), width) : PadLeft(std::move(s), width);
}

std::string FormatSci(double x, int width, int decimals, char sep) {
    std::string s;
    if (!std::isfinite(x)) {
        s = NonFinite(x);
    } else {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, decimals);
        std::string t(buf, r.ptr);
        const auto e = t.find('e');
        s = t.substr(0, e);
        ReplacePoint(s, sep);
        s += 'E';
        s += t[e + 1];  // exponent sign
        std::string digits = t.substr(e + 2);
        if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
        s += digits;
    }
    return PadLeft(std::move(s), width);
}

std::string FormatGeneral(double x, char sep) {
    if (!std::isfinite(x)) return NonFinite(x);
    if (x == 0.0) return "0";
    const std::string sign = x < 0 ? "-" : "";
    const Digits g = SignificantDigits(std::fabs(x), 15);
    if (g.exp >= 15 || g.exp < -5) return sign + ExponentForm(g, sep, 0);
    const std::string d = StripTrailingZeros(g.d);
    std::string s;
    if (g.exp >= 0) {
        const std::size_t intLen = static_cast<std::size_t>(g.exp) + 1;
        s = d.substr(0, std::min(intLen, d.size()));
        if (s.size() < intLen) s.append(intLen - s.size(), '0');
        if (d.size() > intLen) {
            s += sep;
            s.append(d, intLen, std::string::npos);
        }
    } else {
        s = "0";
        s += sep;
        s.append(static_cast<std::size_t>(-g.exp - 1), '0');
        s += d;
    }
    return sign + s;
}

std::string FormatFloatFixed(double x, int precision, int digits, char sep) {
    if (!std::isfinite(x)) return NonFinite(x);
    const std::string sign = std::signbit(x) && x != 0.0 ? "-" : "";
    const double ax = std::fabs(x);
    auto fixedText = [&](double v) {
        char buf[400];
        auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, digits);
        std::string s(buf, r.ptr);
        ReplacePoint(s, sep);
        return s;
    };
    if (ax == 0.0) return fixedText(0.0);
    const int e = SignificantDigits(ax, 17).exp;
    if (e + 1 + digits <= precision) {
        // Rounding to `digits` decimals is the coarser one.
        std::string s = fixedText(ax);
        bool allZero = true;
        for (char c : s)
            if (c >= '1' && c <= '9') allZero = false;
        return (allZero ? "" : sign) + s;
    }
    const Digits g = SignificantDigits(ax, precision);
    if (g.exp + 1 > precision) return sign + ExponentForm(g, sep, digits);
    // Write the rounded significant digits with exactly `digits` decimals.
    std::string intPart, fracPart;
    if (g.exp >= 0) {
        intPart = g.d.substr(0, g.exp + 1);
        fracPart = g.d.substr(g.exp + 1);
    } else {
        intPart = "0";
        fracPart = std::string(static_cast<std::size_t>(-g.exp - 1), '0') + g.d;
    }
    if (static_cast<int>(fracPart.size()) < digits) fracPart.append(digits - fracPart.size(), '0');
    fracPart.resize(digits);
    std::string s = intPart;
    if (digits > 0) {
        s += sep;
        s += fracPart;
    }
    return sign + s;
}

std::string FormatGrouped(double x, char sep, const std::string& groupSep) {
    if (!std::isfinite(x)) return NonFinite(x);
    // Ten times the value, as a whole number of tenths: the 15 significant digits
    // D of |x| stand for D * 10^(exp - 14), so ten times |x| is D * 10^(exp - 13).
    std::string tenths = "0";
    if (x != 0.0) {
        const Digits g = SignificantDigits(std::fabs(x), 15);
        const int shift = g.exp - 13;
        if (shift >= 0) {
            tenths = g.d + std::string(static_cast<std::size_t>(shift), '0');
        } else if (-shift <= 15) {
            const std::size_t keep = static_cast<std::size_t>(15 + shift);
            std::string n = keep > 0 ? g.d.substr(0, keep) : std::string("0");
            if (g.d[keep] >= '5') {
                // Add one to the decimal string.
                int i = static_cast<int>(n.size()) - 1;
                while (i >= 0 && n[i] == '9') n[i--] = '0';
                if (i >= 0)
                    ++n[i];
                else
                    n.insert(0, 1, '1');
            }
            tenths = n;
        }
        const std::size_t nz = tenths.find_first_not_of('0');
        tenths = nz == std::string::npos ? "0" : tenths.substr(nz);
    }
    const std::string sign = (x < 0 && tenths != "0") ? "-" : "";
    const char frac = tenths.back();
    std::string ip = tenths.size() > 1 ? tenths.substr(0, tenths.size() - 1) : "0";
    std::string grouped;
    for (std::size_t i = 0; i < ip.size(); ++i) {
        if (i > 0 && (ip.size() - i) % 3 == 0) grouped += groupSep;
        grouped += ip[i];
    }
    if (frac != '0') {
        grouped += sep;
        grouped += frac;
    }
    return sign + grouped;
}

std::string IntText(double x) {
    if (!std::isfinite(x)) return NonFinite(x);
    const double r = RoundHalfEven(x);
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, r == 0.0 ? 0.0 : r, std::chars_format::fixed, 0);
    return std::string(buf, res.ptr);
}

std::string LongTimeText(std::int64_t seconds) {
    if (seconds < 0) seconds = 0;
    const std::int64_t h = (seconds / 3600) % 24;
    const std::int64_t m = (seconds / 60) % 60;
    const std::int64_t s = seconds % 60;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", static_cast<long long>(h), static_cast<long long>(m),
                  static_cast<long long>(s));
    return buf;
}

std::string TimeText(double t, char sep) {
    // The shortest text that reads back as t: when it has at most 15 significant
    // digits it is also the 15-digit rounding, so it is the general text itself.
    if (t >= 1e-5 && t < 1e15) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, t, std::chars_format::fixed);
        if (r.ec == std::errc()) {
            int digits = 0;
            bool leading = true;
            for (char* c = buf; c != r.ptr; ++c) {
                if (*c == '.') continue;
                if (leading && *c == '0') continue;
                leading = false;
                ++digits;
            }
            if (digits <= 15) {
                std::string s(buf, r.ptr);
                for (char& c : s)
                    if (c == '.') c = sep;
                return s;
            }
        }
    }
    return FormatGeneral(t, sep);
}

}  // namespace rel
