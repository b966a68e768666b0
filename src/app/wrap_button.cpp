#include "wrap_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace relan {

namespace {
constexpr int kPad = 8;
}

WrapButton::WrapButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    QSizePolicy sp(QSizePolicy::Preferred, QSizePolicy::Preferred);
    sp.setHeightForWidth(true);
    setSizePolicy(sp);
}

int WrapButton::heightForWidth(int width) const {
    const QRect r = fontMetrics().boundingRect(QRect(0, 0, std::max(1, width - 2 * kPad), 10000),
                                               Qt::TextWordWrap | Qt::AlignCenter, text());
    return r.height() + 2 * kPad;
}

QSize WrapButton::sizeHint() const {
    const int w = fontMetrics().horizontalAdvance(text()) / 2 + 2 * kPad;
    return {w, heightForWidth(w)};
}

QSize WrapButton::minimumSizeHint() const {
    int longest = 0;
    for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        longest = std::max(longest, fontMetrics().horizontalAdvance(word));
    const int w = longest + 2 * kPad;
    return {w, heightForWidth(w)};
}

void WrapButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    p.drawControl(QStyle::CE_PushButton, opt);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(rect().adjusted(kPad, kPad / 2, -kPad, -kPad / 2), Qt::TextWordWrap | Qt::AlignCenter, text());
}

}  // namespace relan
