#include "probability_bar.h"

#include <QPoint>
#include <QSlider>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

#include "numbers.h"
#include "text/format.h"

namespace relan {

QString ProbabilityHintText(const QString& prefix, int position) {
    return prefix + QString::fromStdString(rel::FormatFixed(position / 100.0, 4, 2, DecimalSep()));
}

void AttachProbabilityHint(QSlider* bar, const QString& prefix) {
    // actionTriggered comes only from the user (drag, keys, clicks on the groove),
    // with the new position already set; the optimiser's setValue never sends it.
    QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [bar, prefix](int action) {
        if (action == QAbstractSlider::SliderNoAction) return;
        const int pos = bar->sliderPosition();
        const QString text = ProbabilityHintText(prefix, pos);
        bar->setToolTip(text);
        const int handle = bar->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, bar);
        const int x = QStyle::sliderPositionFromValue(bar->minimum(), bar->maximum(), pos,
                                                      std::max(0, bar->width() - handle)) +
                      handle / 2;
        // Replaces a hint already showing.
        QToolTip::showText(bar->mapToGlobal(QPoint(x, 0)), text, bar);
    });
}

}  // namespace relan
