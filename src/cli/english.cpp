#include "cli/english.h"

#include "frontend/file_write.h"

#include <algorithm>
#include <regex>
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
    // The hour after a figure.
    static const std::regex hour("(\\d) ч(?=$|[\\s.,;)])");
    return std::regex_replace(out, hour, "$1 h");
}

std::string WriteFailureText(const std::string& path, const WriteOutcome& outcome, HelpLang lang) {
    if (lang != HelpLang::English) return FailureMessage(path, outcome);
    return "File «" + path + "» was not written: " + Worded(ReasonText(outcome), lang);
}

}  // namespace relcli
