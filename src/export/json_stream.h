// JSON written to a stream as it is made: the large outputs (a failure list of a
// million rows) are never built in memory as a tree. The text is the one the JSON
// library's compact dump gives for the same values (its number form, its escapes,
// its replacement of bytes that are not UTF-8), so a streamed output and a dumped
// one are the same bytes.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace relcli {

class JsonStream {
public:
    // `flush` is called after each piece written to `out` (standard output checks
    // its reader there).
    JsonStream(std::FILE* out, std::function<void()> flush);
    JsonStream(const JsonStream&) = delete;
    JsonStream& operator=(const JsonStream&) = delete;

    void Raw(std::string_view punctuation) { buf_.append(punctuation); }
    void Raw(char c) { buf_ += c; }
    void String(std::string_view text);
    // A text that stays at its place, unchanged, while the stream writes (a text of
    // the failure list, a cause name): each such text is checked once, however many
    // rows give it.
    void KeptString(std::string_view text);
    // A number as the library writes a double; NaN and infinities as null.
    void Number(double x);
    void Integer(long long v);
    // An array of `n` elements, each written by `element(i)`.
    template <typename Element>
    void Array(std::size_t n, const Element& element) {
        Raw('[');
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0) Raw(',');
            element(i);
            Pace();
        }
        Raw(']');
    }
    // Writes out what the buffer holds once it has grown large.
    void Pace() {
        if (buf_.size() >= kPiece) Flush();
    }
    // Writes out the buffer.
    void Flush();
    // Writes out the rest at the end, leaving the last check of the stream to the
    // program's end.
    void Finish();

private:
    static constexpr std::size_t kPiece = 1 << 16;
    static constexpr std::size_t kKept = 256;
    void Quoted(std::string_view text);
    std::FILE* out_;
    std::function<void()> flush_;
    std::string buf_;
    nlohmann::detail::serializer<nlohmann::json> serializer_;
    // Kept texts found to need no escape, by their place.
    std::vector<std::string_view> plain_;
    // The last number written and its text (sorted times repeat).
    double lastNumber_ = 0.0;
    std::array<char, 64> lastDigits_{};
    std::size_t lastLength_ = 0;
};

// The members of a JSON object, each written by its function; they are written in
// the order of their keys, as the library orders an object's keys.
class JsonObject {
public:
    void Add(std::string key, std::function<void(JsonStream&)> write) {
        members_.emplace_back(std::move(key), std::move(write));
    }
    void Write(JsonStream& out);

private:
    std::vector<std::pair<std::string, std::function<void(JsonStream&)>>> members_;
};

}  // namespace relcli
