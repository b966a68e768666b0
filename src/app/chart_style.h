// Fonts and colours of the results window: the faces as designed where the system
// has them, and the palette colours of the results output made readable on the
// white charts.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QStringList>

#include "results/out_results.h"

namespace relan {

// Fonts that render Cyrillic: the designed face where the system has it, else
// DejaVu Sans, which every Linux desktop of ours carries.
QFont FontOf(const QStringList& families, int pixels, bool bold = false);

QColor ColorOf(const rel::Rgb& c);

// Transparency in percent (0 = opaque) as the colour's alpha.
QColor WithTransparency(QColor c, int transparency);

// Pale palette colours (lime, aqua, yellow) are darkened for lines on the white
// chart, so that every model line stays readable on screen and on paper.
QColor LineColor(const rel::Rgb& c);

// The border of a bar: a darker shade of its fill, grey for white ("Другие").
QColor BarBorder(const rel::Rgb& c);

// The cross marks of a series of points: a small cross image in `color`.
QImage CrossImage(const QColor& color, int half);

}  // namespace relan
