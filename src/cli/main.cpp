// relan-cli: the failure analysis without a window.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>

#include "cli/commands.h"
#include "cli/common.h"
#include "frontend/analysis_options.h"
#include "frontend/standard_output.h"
#include "stats/distrib.h"
#include "text/text.h"
#include "version.h"

namespace {

// A reversed interval in the Weibull routine ends the program, as in the window.
void ReversedInterval(double, double) {
    std::fprintf(stderr, "%s\n", rel::kReversedIntervalText);
    std::fflush(stdout);
    std::_Exit(relcli::kExitInternal);
}

}  // namespace

int main(int argc, char** argv) {
    relcli::GuardStandardStreams();
    rel::SetReversedIntervalHandler(&ReversedInterval);
    using relcli::Pick;
    const relcli::HelpLang lang = relcli::LangFromArgs(argc, argv);
    CLI::App app{Pick(lang, "relan-cli: quantitative analysis of warranty failures",
                      "relan-cli: количественный анализ отказов изделий в гарантийной эксплуатации")};
    relcli::SetHelpWords(app, lang);
    // A language that is not there is refused before any command runs.
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string a = argv[i], v = argv[i + 1];
        if (a == "--") break;
        if (a == "--lang" && v != "ru" && v != "en") {
            std::fprintf(stderr, "relan-cli: --lang: «%s» — %s\n", rel::EscapeControls(rel::Excerpt(v)).c_str(),
                         Pick(lang, "the languages are ru and en", "допустимы языки ru и en"));
            return relcli::kExitUsage;
        }
    }
    app.set_version_flag("--version", std::string("relan-cli ") + rel::kVersion,
                         Pick(lang, "print the version and exit", "показать версию и выйти"));
    std::string langText = "ru";
    app.add_option("--lang", langText,
                   Pick(lang, "language of the help and the messages: ru (the default) or en",
                        "язык справки и сообщений: ru (по умолчанию) или en"))
        ->type_name("ru|en");
    app.fallthrough();  // --lang is taken after the command's name too
    app.require_subcommand(1);
    int status = relcli::kExitOk;
    relcli::RegisterLoad(app, status, lang);
    relcli::RegisterCrit(app, status, lang);
    relcli::RegisterFit(app, status, lang);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return relcli::FinishStandardOutput(app.exit(e), "relan-cli");  // --help
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "relan-cli: %s\n", relcli::ParseErrorText(e, lang).c_str());
        std::fprintf(stderr, "%s\n",
                     Pick(lang, "relan-cli --help: the commands and their options",
                          "relan-cli --help: список команд и параметров"));
        return relcli::kExitUsage;
    }
    // The results printed are an output like a file: a failed write says so.
    return relcli::FinishStandardOutput(status, "relan-cli");
}
