// Subcommands of relan-cli. Each registers itself on the app; its callback runs
// the command and stores the exit status in `status`.
#pragma once

#include <CLI/CLI.hpp>

#include "frontend/analysis_options.h"

namespace relcli {

void RegisterLoad(CLI::App& app, int& status, HelpLang lang);  // relan-cli load
void RegisterCrit(CLI::App& app, int& status, HelpLang lang);  // relan-cli crit
void RegisterFit(CLI::App& app, int& status, HelpLang lang);   // relan-cli fit

}  // namespace relcli
