// The core writes its progress log, its messages about files and runs, and the
// names of its two built-in causes in Russian, with figures and file names inside
// them. In another language the window replaces their known phrases by the
// phrases' translations (context "relan::CoreWords"); the figures stay where they are.
#pragma once

#include <QString>

namespace relan {

// `text` with every known phrase translated; `text` itself in Russian.
QString TranslatedCoreText(const QString& text);

// A cause cell of the failure list: a built-in cause's name ("Брак", "Другие") and
// the mark of a share of the fleet reached there translated; a cause the file names
// stays as written.
QString TranslatedCauseCell(const QString& cell);

}  // namespace relan
