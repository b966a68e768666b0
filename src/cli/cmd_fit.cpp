#include "cli/commands.h"

namespace relcli {

void RegisterFit(CLI::App& app, int& status) {
    (void)status;
    app.add_subcommand("fit", "(not yet available)");
}

}  // namespace relcli
