// The progress log's lines come from the core in Russian, with figures inside them.
// In another language the window replaces their known phrases by the phrases'
// translations (context "relan::LogWords"); the figures stay where they are.
#pragma once

#include <QString>

namespace relan {

// `line` with every known phrase translated; `line` itself in Russian.
QString TranslatedLogLine(const QString& line);

}  // namespace relan
