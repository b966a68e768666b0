// relan-cli: the failure analysis without a window.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>

#include "cli/commands.h"
#include "cli/common.h"
#include "stats/distrib.h"

namespace {

// A reversed interval in the Weibull routine ends the program, as in the window.
void ReversedInterval(double, double) {
    std::fprintf(stderr, "%s\n", rel::kReversedIntervalText);
    std::fflush(stdout);
    std::_Exit(relcli::kExitFatal);
}

}  // namespace

int main(int argc, char** argv) {
    rel::SetReversedIntervalHandler(&ReversedInterval);
    CLI::App app{"relan-cli: quantitative analysis of warranty failures"};
    app.require_subcommand(1);
    int status = relcli::kExitOk;
    relcli::RegisterLoad(app, status);
    relcli::RegisterCrit(app, status);
    relcli::RegisterFit(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? 0 : relcli::kExitUsage;
    }
    return status;
}
