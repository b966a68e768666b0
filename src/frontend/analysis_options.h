// The options of one analysis, shared by `relan-cli fit` and `relan --report`: one
// set of names and help texts, values taken as texts and checked by the analysis
// layer (rel::CheckFitRequest), option-library errors in the program's words.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "analysis/request.h"

namespace relcli {

// Language of the help texts and the messages.
enum class HelpLang { English, Russian };

// The text in the language.
inline const char* Pick(HelpLang lang, const char* en, const char* ru) {
    return lang == HelpLang::English ? en : ru;
}

// The language a command line asks for with --lang en (or --lang=en); Russian
// otherwise. Read before the options are parsed, so that the help and the option
// errors are in that language too.
HelpLang LangFromArgs(int argc, const char* const* argv);

// A subcommand's heading among the commands and its help flag in the language.
void SetCommandWords(CLI::App& cmd, HelpLang lang);

// The option library's words (help headings, "REQUIRED", the help flag) in the
// language; call on the program's app before its subcommands are added, which take
// them over.
void SetHelpWords(CLI::App& app, HelpLang lang);

class AnalysisOptions {
public:
    // Adds DATA, --warranty, --models, --fit-sred, --fit-sko, --burn-in, --item, the
    // three step-reduction coefficients, --virtual-clock, --bootstrap and --seed to
    // `cmd`; with `withGen` also the optimiser's --population, --generations,
    // --precision and --copy-count.
    AnalysisOptions(CLI::App& cmd, bool withGen, HelpLang lang);

    // The request as parsed (call after the command line has been parsed).
    rel::FitRequest Request() const;

private:
    rel::FitRequest req_;
    CLI::Option* coef11_ = nullptr;
    CLI::Option* coef12_ = nullptr;
    CLI::Option* coef2_ = nullptr;
    CLI::Option* clock_ = nullptr;
    CLI::Option* generations_ = nullptr;
    CLI::Option* seed_ = nullptr;
    CLI::Option* usage_ = nullptr;
    std::string coef11, coef12, coef2, clock, generations, seed, usage;
};

// The option library's refusal in the program's words.
std::string ParseErrorText(const CLI::ParseError& e, HelpLang lang = HelpLang::Russian);

}  // namespace relcli
