// JSON written as it is made is the JSON library's dump of the same values, byte for
// byte: its number form, its escapes, its replacement of bytes that are not UTF-8,
// its order of an object's keys.
#include "export/json_stream.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

// What `write` puts out through a stream.
template <typename Write>
std::string Streamed(const Write& write) {
    std::FILE* f = std::tmpfile();
    {
        relcli::JsonStream out(f, nullptr);
        write(out);
        out.Finish();
    }
    std::rewind(f);
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    std::fclose(f);
    return text;
}

std::string Dumped(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

TEST(JsonStream, TextsAreWrittenAsTheLibraryWritesThem) {
    const std::vector<std::string> texts = {
        "",
        "plain",
        "Двигатель стартера № 17 «x» — ё",
        "quote \" and backslash \\",
        "tab\t, line\n, return\r, form\f, back\b",
        std::string("nul \0 and \x01\x1F", 13),
        "delete \x7F",
        "C1 \xC2\x85 and no-break \xC2\xA0",
        "not UTF-8 \xFF here",
        "cut \xD0",
        "surrogate half \xED\xA0\x80 inside",
        "emoji \xF0\x9F\x98\x80",
        "\xC0\xAF overlong",
    };
    for (const std::string& t : texts) {
        EXPECT_EQ(Streamed([&](relcli::JsonStream& o) { o.String(t); }), Dumped(t)) << t;
        // A kept text, met again and again, reads the same each time.
        EXPECT_EQ(Streamed([&](relcli::JsonStream& o) {
                      for (int i = 0; i < 3; ++i) o.KeptString(t);
                  }),
                  Dumped(t) + Dumped(t) + Dumped(t))
            << t;
    }
}

TEST(JsonStream, NumbersAreWrittenAsTheLibraryWritesThem) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> numbers = {0.0,
                                         -0.0,
                                         1.0,
                                         0.1,
                                         1e-5,
                                         123456.789,
                                         2500.5,
                                         -2500.5,
                                         1e15,
                                         1e16,
                                         1e21,
                                         1e-7,
                                         5e-324,
                                         1.7976931348623157e308,
                                         0.30000000000000004,
                                         1.0 / 3,
                                         802.6,
                                         802.6,
                                         6.0,
                                         std::nan(""),
                                         inf,
                                         -inf};
    for (double x : numbers) {
        const json want = std::isfinite(x) ? json(x) : json(nullptr);
        EXPECT_EQ(Streamed([&](relcli::JsonStream& o) { o.Number(x); }), Dumped(want)) << x;
    }
    // A run of numbers, some repeated, as one array.
    EXPECT_EQ(Streamed([&](relcli::JsonStream& o) {
                  o.Array(numbers.size(), [&](std::size_t i) { o.Number(numbers[i]); });
              }),
              Dumped([&] {
                  json a = json::array();
                  for (double x : numbers) a.push_back(std::isfinite(x) ? json(x) : json(nullptr));
                  return a;
              }()));
    for (long long v :
         {0LL, -1LL, 17LL, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX), LLONG_MIN})
        EXPECT_EQ(Streamed([&](relcli::JsonStream& o) { o.Integer(v); }), Dumped(json(v))) << v;
}

TEST(JsonStream, AnObjectsKeysGoInTheLibrarysOrder) {
    const std::vector<std::string> keys = {"b",      "A",       "a",        "_x",        "Ab",
                                           "B",      "Series1", "Series2",  "iFirstPos", "ArrVid",
                                           "ArrGar", "meSKO",   "MaskEdit1"};
    json want = json::object();
    relcli::JsonObject object;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        want[keys[i]] = i;
        object.Add(keys[i], [i](relcli::JsonStream& o) { o.Integer(static_cast<long long>(i)); });
    }
    EXPECT_EQ(Streamed([&](relcli::JsonStream& o) { object.Write(o); }), Dumped(want));
}

}  // namespace
