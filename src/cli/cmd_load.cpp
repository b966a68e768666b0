#include "cli/commands.h"

namespace relcli {

void RegisterLoad(CLI::App& app, int& status) {
    (void)status;
    app.add_subcommand("load", "(not yet available)");
}

}  // namespace relcli
