#include "cli/commands.h"

namespace relcli {

void RegisterCrit(CLI::App& app, int& status) {
    (void)status;
    app.add_subcommand("crit", "(not yet available)");
}

}  // namespace relcli
