// The track bars of the optimiser's crossover and mutation probabilities: the hint
// that shows the probability while the user moves a bar.
#pragma once

#include <QString>

class QSlider;

namespace relan {

// While the user drags `bar` (or moves it with the keyboard or a click on its
// groove), its hint is `prefix` followed by the position / 100 in "%4.2f" with the
// locale's decimal separator, shown at the handle. Moves made by the optimiser
// show nothing.
void AttachProbabilityHint(QSlider* bar, const QString& prefix);

// The hint text of a track bar at `position`.
QString ProbabilityHintText(const QString& prefix, int position);

}  // namespace relan
