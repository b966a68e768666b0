// The options of one analysis, shared by `relan-cli fit` and `relan --report`: one
// set of names and help texts, values taken as texts and checked by the analysis
// layer (rel::CheckFitRequest), option-library errors in the program's words.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "analysis/request.h"

namespace relcli {

// Language of the help texts.
enum class HelpLang { English, Russian };

class FitOptions {
public:
    // Adds DATA, --warranty, --models, --fit-sred, --fit-sko, --burn-in, --item, the
    // three step-reduction coefficients, --virtual-clock, --bootstrap and --seed to
    // `cmd`; with `withGen` also the optimiser's --population, --generations,
    // --precision and --copy-count.
    FitOptions(CLI::App& cmd, bool withGen, HelpLang lang);

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
    std::string coef11, coef12, coef2, clock, generations, seed;
};

// The option library's refusal in the program's words (Russian).
std::string ParseErrorText(const CLI::ParseError& e);

}  // namespace relcli
