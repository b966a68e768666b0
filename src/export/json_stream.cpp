#include "export/json_stream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cmath>

#include "text/text.h"

namespace relcli {

JsonStream::JsonStream(std::FILE* out, std::function<void()> flush)
    : out_(out),
      flush_(std::move(flush)),
      serializer_(nlohmann::detail::output_adapter<char>(buf_), ' ', nlohmann::json::error_handler_t::replace) {
    buf_.reserve(2 * kPiece);
}

namespace {

// Whether the library writes a text as it is: valid UTF-8 without a control
// character, a quote or a backslash.
bool Plain(std::string_view text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            if (c < 0x20 || c == '"' || c == '\\') return false;
            ++i;
        } else if (c >= 0xC2 && c <= 0xDF && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            i += 2;  // Cyrillic and the like, without the general rule
        } else {
            const std::size_t len = rel::Utf8SequenceLength(text, i);
            if (len == 0) return false;
            i += len;
        }
    }
    return true;
}

}  // namespace

void JsonStream::Quoted(std::string_view text) {
    buf_ += '"';
    buf_.append(text);
    buf_ += '"';
}

void JsonStream::String(std::string_view text) {
    // Nearly every text is written as it is; any other goes through the library,
    // which escapes and replaces as its dump does.
    if (Plain(text))
        Quoted(text);
    else
        serializer_.dump(nlohmann::json(std::string(text)), false, false, 0);
}

void JsonStream::KeptString(std::string_view text) {
    if (plain_.empty()) plain_.resize(kKept);
    std::string_view& known = plain_[(reinterpret_cast<std::uintptr_t>(text.data()) / 2 + text.size()) % kKept];
    if (known.data() == text.data() && known.size() == text.size()) {
        Quoted(text);
        return;
    }
    if (Plain(text)) {
        known = text;
        Quoted(text);
    } else {
        serializer_.dump(nlohmann::json(std::string(text)), false, false, 0);
    }
}

void JsonStream::Number(double x) {
    if (!std::isfinite(x)) {
        buf_.append("null");
        return;
    }
    if (lastLength_ == 0 || std::bit_cast<std::uint64_t>(x) != std::bit_cast<std::uint64_t>(lastNumber_)) {
        const char* end =
            nlohmann::detail::to_chars(lastDigits_.data(), lastDigits_.data() + lastDigits_.size(), x);
        lastNumber_ = x;
        lastLength_ = static_cast<std::size_t>(end - lastDigits_.data());
    }
    buf_.append(lastDigits_.data(), lastLength_);
}

void JsonStream::Integer(long long v) {
    std::array<char, 24> digits;
    const auto r = std::to_chars(digits.data(), digits.data() + digits.size(), v);
    buf_.append(digits.data(), r.ptr);
}

void JsonStream::Flush() {
    if (!buf_.empty()) std::fwrite(buf_.data(), 1, buf_.size(), out_);
    buf_.clear();
    if (flush_) flush_();
}

void JsonStream::Finish() {
    if (!buf_.empty()) std::fwrite(buf_.data(), 1, buf_.size(), out_);
    buf_.clear();
}

void JsonObject::Write(JsonStream& out) {
    std::stable_sort(members_.begin(), members_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    out.Raw('{');
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (i > 0) out.Raw(',');
        out.String(members_[i].first);
        out.Raw(':');
        members_[i].second(out);
        out.Pace();
    }
    out.Raw('}');
}

}  // namespace relcli
