// relan-cli: the failure analysis without a window.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/fit_options.h"
#include "cli/standard_output.h"
#include "stats/distrib.h"
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
    CLI::App app{"relan-cli: quantitative analysis of warranty failures"};
    app.set_version_flag("--version", std::string("relan-cli ") + rel::kVersion, "print the version and exit");
    app.require_subcommand(1);
    int status = relcli::kExitOk;
    relcli::RegisterLoad(app, status);
    relcli::RegisterCrit(app, status);
    relcli::RegisterFit(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return relcli::FinishStandardOutput(app.exit(e), "relan-cli");  // --help
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "relan-cli: %s\n", relcli::ParseErrorText(e).c_str());
        std::fprintf(stderr, "relan-cli --help: список команд и параметров\n");
        return relcli::kExitUsage;
    }
    // The results printed are an output like a file: a failed write says so.
    return relcli::FinishStandardOutput(status, "relan-cli");
}
