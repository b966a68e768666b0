// The core's messages in English for relan-cli --lang en: the window's vocabulary of
// the core's phrases (translations/relan_en.ts), applied the longest phrase first.
#pragma once

#include <string>

#include "frontend/analysis_options.h"

namespace relcli {

// `text` in the language: as it is in Russian; in English with each known phrase
// replaced (the file names and numbers in it stay).
std::string Worded(const std::string& text, HelpLang lang);

// "Файл «PATH» не записан: REASON" in the language.
std::string WriteFailureText(const std::string& path, const struct WriteOutcome& outcome, HelpLang lang);

}  // namespace relcli
