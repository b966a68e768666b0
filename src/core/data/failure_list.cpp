#include "data/failure_list.h"

#include <stdexcept>

namespace rel {

namespace {

// Source texts every file repeats: stored once at the start of the block.
constexpr std::string_view kBrakText = "Брак";
constexpr std::string_view kDrugieText = "Другие";

template <typename T>
void PermuteVector(std::vector<T>& v, const std::vector<std::uint32_t>& order) {
    std::vector<T> out;
    out.reserve(order.size());
    for (std::uint32_t i : order) out.push_back(v[i]);
    v = std::move(out);
}

}  // namespace

FailureList::FailureList(std::initializer_list<Problems> failures) { *this = failures; }

FailureList& FailureList::operator=(std::initializer_list<Problems> failures) {
    clear();
    for (const Problems& p : failures) push_back(p);
    return *this;
}

FailureList::Span FailureList::Store(std::string_view text) {
    if (texts_.empty()) {
        texts_.append(kBrakText);
        texts_.append(kDrugieText);
    }
    if (text.empty()) return {};
    if (text == kBrakText) return {0, static_cast<std::uint32_t>(kBrakText.size())};
    if (text == kDrugieText)
        return {static_cast<std::uint32_t>(kBrakText.size()), static_cast<std::uint32_t>(kDrugieText.size())};
    // The block is addressed by 32-bit offsets; a data file is at most 256 MB.
    if (texts_.size() + text.size() > UINT32_MAX) throw std::length_error("failure texts beyond 4 GB");
    const Span s{static_cast<std::uint32_t>(texts_.size()), static_cast<std::uint32_t>(text.size())};
    texts_.append(text);
    return s;
}

void FailureList::Append(double time, int chey, std::string_view pri, std::string_view komment) {
    times_.push_back(time);
    cause_.push_back(static_cast<std::uint8_t>(chey));
    pri_.push_back(Store(pri));
    komment_.push_back(Store(komment));
}

void FailureList::reserve(std::size_t n, std::size_t textBytes) {
    times_.reserve(n);
    cause_.reserve(n);
    pri_.reserve(n);
    komment_.reserve(n);
    texts_.reserve(textBytes + kBrakText.size() + kDrugieText.size());
}

void FailureList::clear() {
    times_.clear();
    cause_.clear();
    pri_.clear();
    komment_.clear();
    texts_.clear();
}

void FailureList::resize(std::size_t n) {
    times_.resize(n, 0.0);
    cause_.resize(n, 0);
    pri_.resize(n);
    komment_.resize(n);
}

void FailureList::Permute(const std::vector<std::uint32_t>& order) {
    PermuteVector(times_, order);
    PermuteVector(cause_, order);
    PermuteVector(pri_, order);
    PermuteVector(komment_, order);
}

bool operator==(const FailureList& a, const FailureList& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const FailureRef x = a[i], y = b[i];
        if (x.time != y.time || x.chey != y.chey || x.Pri != y.Pri || x.komment != y.komment) return false;
    }
    return true;
}

}  // namespace rel
