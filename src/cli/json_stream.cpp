#include "cli/json_stream.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "text/text.h"

namespace relcli {

JsonStream::JsonStream(std::FILE* out, std::function<void()> flush)
    : out_(out),
      flush_(std::move(flush)),
      serializer_(nlohmann::detail::output_adapter<char>(buf_), ' ', nlohmann::json::error_handler_t::replace) {
    buf_.reserve(2 * kPiece);
}

void JsonStream::String(std::string_view text) {
    // Nearly every text needs no escape and is valid UTF-8: it is written as it is.
    // Any other goes through the library, which escapes and replaces as its dump does.
    bool plain = true, high = false;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == '"' || c == '\\') {
            plain = false;
            break;
        }
        high = high || c >= 0x80;
    }
    if (plain && (!high || rel::IsValidUtf8(text))) {
        buf_ += '"';
        buf_.append(text);
        buf_ += '"';
        return;
    }
    serializer_.dump(nlohmann::json(std::string(text)), false, false, 0);
}

void JsonStream::Number(double x) {
    if (!std::isfinite(x)) {
        buf_.append("null");
        return;
    }
    std::array<char, 64> digits;
    const char* end = nlohmann::detail::to_chars(digits.data(), digits.data() + digits.size(), x);
    buf_.append(digits.data(), static_cast<std::size_t>(end - digits.data()));
}

void JsonStream::Integer(long long v) {
    std::array<char, 24> digits;
    const auto r = std::to_chars(digits.data(), digits.data() + digits.size(), v);
    buf_.append(digits.data(), r.ptr);
}

void JsonStream::Value(const nlohmann::json& v) { serializer_.dump(v, false, false, 0); }

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
