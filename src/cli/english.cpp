#include "cli/english.h"

#include "frontend/file_write.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace relcli {

namespace {

struct Phrase {
    const char* ru;
    const char* en;
};

constexpr Phrase kPhrases[] = {
#include "core_phrases_en.inc"
};

// The phrases, longest first, so that a whole sentence is worded before its parts.
const std::vector<std::pair<std::string, std::string>>& Sorted() {
    static const auto sorted = [] {
        std::vector<std::pair<std::string, std::string>> v;
        for (const Phrase& p : kPhrases)
            if (std::string_view(p.ru) != p.en) v.emplace_back(p.ru, p.en);
        std::stable_sort(v.begin(), v.end(),
                         [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
        return v;
    }();
    return sorted;
}

}  // namespace

std::string Worded(const std::string& text, HelpLang lang) {
    if (lang != HelpLang::English) return text;
    std::string out = text;
    for (const auto& [ru, en] : Sorted())
        for (std::size_t at = out.find(ru); at != std::string::npos; at = out.find(ru, at + en.size()))
            out.replace(at, ru.size(), en);
    // The hour after a figure: " ч" after a digit, before the end, a blank or a
    // stop ("12 ч." but not "12 часов").
    const std::string hour = " ч";
    for (std::size_t at = out.find(hour); at != std::string::npos; at = out.find(hour, at + 1)) {
        const std::size_t after = at + hour.size();
        const bool digitBefore = at > 0 && out[at - 1] >= '0' && out[at - 1] <= '9';
        const bool endAfter =
            after == out.size() || std::string_view(" \t\n.,;)").find(out[after]) != std::string_view::npos;
        if (digitBefore && endAfter) out.replace(at, hour.size(), " h");
    }
    return out;
}

std::string WriteFailureText(const std::string& path, const WriteOutcome& outcome, HelpLang lang) {
    if (lang != HelpLang::English) return FailureMessage(path, outcome);
    return "File «" + path + "» was not written: " + Worded(ReasonText(outcome), lang);
}

}  // namespace relcli
