// Number texts as the analysis shows them, with the decimal separator given by
// the caller (the window passes its locale's, the command-line tool '.' or ',').
// Never depends on the process locale.
#pragma once

#include <cstdint>
#include <string>

namespace rel {

// Nearest integer, halves to even. Non-finite values are returned unchanged.
double RoundHalfEven(double x);

// "%W.Df" (right-aligned in W) or, with leftAlign, "%-W.Df".
std::string FormatFixed(double x, int width, int decimals, char sep, bool leftAlign = false);

// "%W.De": one digit, the separator, D digits, "E", the exponent's sign and at
// least three exponent digits, right-aligned in W.
std::string FormatSci(double x, int width, int decimals, char sep);

// General text: up to 15 significant digits, no trailing zeros, an integral value
// without decimals; exponent form ("1.5E-7", "1E20") below 1e-5 or from 1e15 on.
std::string FormatGeneral(double x, char sep);

// Fixed text with a precision: the value rounded to `precision` significant digits
// and to `digits` decimals (the coarser wins) and written with exactly `digits`
// decimals; when its integer part has more than `precision` digits, exponent form
// instead: mantissa of at most `precision` significant digits without trailing
// zeros, "E", "-" for a negative exponent, at least `digits` exponent digits
// (2500 with 3/1 gives "2.5E3").
std::string FormatFloatFixed(double x, int precision, int digits, char sep);

// The "#,##0.#" mask: thousands grouped with groupSep, at most one decimal, no
// trailing zero decimal ("1,234.5", "12", "0.3"). The value is first taken to 15
// significant digits, then rounded to one decimal with halves away from zero.
// Non-finite values give "NAN", "INF" or "-INF".
std::string FormatGrouped(double x, char sep, const std::string& groupSep);

// Integer text: rounded half to even, without decimals.
std::string IntText(double x);

// Long time text H:mm:ss of a duration in whole seconds (hours modulo 24).
std::string LongTimeText(std::int64_t seconds);

// A failure time as the failure list shows it: the general text (up to 15
// significant digits) with the given decimal separator.
std::string TimeText(double t, char sep);

}  // namespace rel
