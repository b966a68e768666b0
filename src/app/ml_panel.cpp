#include "ml_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "chart_style.h"
#include "results/ml_summary.h"

namespace relan {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLabel* Text(QWidget* parent, const QString& name, const QFont& font, bool wrap) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFont(font);
    l->setWordWrap(wrap);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setTextFormat(Qt::PlainText);
    return l;
}

}  // namespace

MlPanel::MlPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("MlPanel"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 6, 8, 6);
    outer->setSpacing(6);
    title_ = Text(this, QStringLiteral("MlTitle"), FontOf({QStringLiteral("Segoe UI")}, 14, true), true);
    outer->addWidget(title_);
    grid_ = new QGridLayout;
    grid_->setHorizontalSpacing(8);
    grid_->setVerticalSpacing(3);
    outer->addLayout(grid_);
    verdict_ = Text(this, QStringLiteral("MlVerdict"), FontOf({QStringLiteral("Segoe UI")}, 12, true), true);
    outer->addWidget(verdict_);
    notes_ = Text(this, QStringLiteral("MlNotes"), FontOf({QStringLiteral("Segoe UI")}, 12), true);
    notes_->setStyleSheet(QStringLiteral("color: #8b0000;"));
    outer->addWidget(notes_);
    outer->addStretch(1);
    // No fixed minimum: the panel is never narrower than its figures and the
    // interval column need (a fixed one would let the layout cut them off).
    hide();
}

void MlPanel::Show(const std::optional<rel::MlSummary>& summary) {
    // The rows of the previous output go.
    while (QLayoutItem* item = grid_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    rows_ = 0;
    if (!summary) {
        hide();
        return;
    }
    // The heading on two lines, the model's name above what the panel holds.
    QString title = Q(summary->title);
    const qsizetype colon = title.indexOf(QStringLiteral(": "));
    if (colon > 0) title = title.left(colon + 1) + QLatin1Char('\n') + title.mid(colon + 2);
    title_->setText(title);
    const QFont body = FontOf({QStringLiteral("Segoe UI")}, 12);
    QFont head = body;
    head.setBold(true);
    const QString heads[] = {tr("Показатель"), tr("Оценка"), tr("95% интервал")};
    for (int c = 0; c < 3; ++c) grid_->addWidget(Text(this, QStringLiteral("MlHead%1").arg(c), head, false), 0, c);
    for (int c = 0; c < 3; ++c) static_cast<QLabel*>(grid_->itemAtPosition(0, c)->widget())->setText(heads[c]);
    for (const rel::MlSummaryRow& r : summary->rows) {
        const int row = ++rows_;
        const QString texts[] = {Q(r.label), Q(r.estimate), Q(r.interval)};
        for (int c = 0; c < 3; ++c) {
            QLabel* l = Text(this, QStringLiteral("MlRow%1_%2").arg(row - 1).arg(c), body, c == 0);
            l->setText(texts[c]);
            if (c > 0) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid_->addWidget(l, row, c);
        }
    }
    grid_->setColumnStretch(0, 1);
    verdict_->setText(Q(summary->verdict));
    verdict_->setVisible(!summary->verdict.empty());
    QStringList notes;
    for (const std::string& n : summary->notes) notes << Q(n);
    notes_->setText(notes.join(QLatin1Char('\n')));
    notes_->setVisible(!notes.isEmpty());
    show();
}

QString MlPanel::Cell(int row, int column) const {
    QLayoutItem* item = grid_->itemAtPosition(row + 1, column);
    auto* l = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    return l ? l->text() : QString();
}

}  // namespace relan
