#include "data/failure_list.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "text/text.h"

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
    const std::size_t from = texts_.size();
    texts_.append(text);
    return Stored(from);
}

FailureList::Span FailureList::Stored(std::size_t from) {
    const std::string_view text = std::string_view(texts_).substr(from);
    Span s{static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(text.size())};
    if (text.empty() || text == kBrakText || text == kDrugieText) {
        if (text.empty())
            s = {};
        else if (text == kBrakText)
            s = {0, static_cast<std::uint32_t>(kBrakText.size())};
        else
            s = {static_cast<std::uint32_t>(kBrakText.size()), static_cast<std::uint32_t>(kDrugieText.size())};
        texts_.resize(from);
        return s;
    }
    // The block is addressed by 32-bit offsets; a data file is at most 256 MB.
    if (texts_.size() > UINT32_MAX) {
        texts_.resize(from);
        throw std::length_error("failure texts beyond 4 GB");
    }
    return s;
}

FailureList::TextSpan FailureList::StoreText(std::string_view utf8) { return Store(utf8); }

FailureList::TextSpan FailureList::StoreCp1251Text(std::string_view bytes) {
    if (texts_.empty()) {
        texts_.append(kBrakText);
        texts_.append(kDrugieText);
    }
    const std::size_t from = texts_.size();
    AppendCp1251AsUtf8(texts_, bytes);
    return Stored(from);
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

void FailureList::SortByTime() {
    const std::size_t n = size();
    bool sorted = true, nan = false;
    for (std::size_t i = 0; i < n; ++i) {
        nan = nan || std::isnan(times_[i]);
        if (i > 0 && times_[i] < times_[i - 1]) sorted = false;
    }
    if (nan) {
        // No order among NaNs: the merge sort keeps the list's order around them.
        std::vector<std::uint32_t> order(n);
        for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<std::uint32_t>(i);
        std::stable_sort(order.begin(), order.end(),
                         [this](std::uint32_t a, std::uint32_t b) { return times_[a] < times_[b]; });
        Permute(order);
        return;
    }
    if (sorted) return;  // a file written in time order: nothing moves

    // (time, place) pairs in one sort: equal times keep their order by their places.
    struct Keyed {
        double time;
        std::uint32_t at;
    };
    std::vector<Keyed> keyed(n);
    for (std::size_t i = 0; i < n; ++i) keyed[i] = {times_[i], static_cast<std::uint32_t>(i)};
    std::sort(keyed.begin(), keyed.end(),
              [](const Keyed& a, const Keyed& b) { return a.time < b.time || (a.time == b.time && a.at < b.at); });
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        times_[i] = keyed[i].time;
        order[i] = keyed[i].at;
    }
    keyed = {};
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
