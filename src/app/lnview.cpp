#include "lnview.h"

#include <QChart>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "stats/empirical.h"
#include "chart_tools.h"
#include "lnchart.h"
#include "numbers.h"
#include "printing.h"
#include "text/format.h"
#include "captions.h"

namespace relan {

namespace {

constexpr double kLogOffset = 0.00001;

QFont ViewFont(int pixels, bool bold) {
    QFont f;
    f.setFamilies({QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

}  // namespace

TLNview::TLNview(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("LNview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Анализ закона распределения отказов. Анализ надежности в эксплуатации.") + VersionNotice());
    setFont(ViewFont(12, false));
    resize(838, 546);

    // The data set's title and the two buttons in a row above the chart, which
    // takes the rest of the window at any size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(6, 0, 0, 0);
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(ViewFont(16, true));
    Label3->setWordWrap(true);
    Label3->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Button2 = new QPushButton(tr("Печать"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Prodolgenie = new QPushButton(tr("Продолж."), this);
    Prodolgenie->setObjectName(QStringLiteral("Prodolgenie"));
    top->addWidget(Label3, 1);
    top->addWidget(Button2, 0, Qt::AlignTop);
    top->addWidget(Prodolgenie, 0, Qt::AlignTop);
    layout->addLayout(top);
    Chart2 = new LnChart(true, this);
    layout->addWidget(Chart2, 1);
    Chart2->Explorer()->SetDialogs(&dialogs_);

    // The line's coefficients in the lower right corner of the plot.
    Label1 = new QLabel(QStringLiteral("A= "), Chart2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("B= "), Chart2);
    Label2->setObjectName(QStringLiteral("Label2"));
    for (QLabel* l : {Label1, Label2}) l->setAttribute(Qt::WA_TranslucentBackground);

    connect(Chart2, &LnChart::Resized, this, [this] { PlaceOverlays(); });
    connect(Chart2->Chart(), &QChart::plotAreaChanged, this, [this] { PlaceOverlays(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Prodolgenie, &QPushButton::clicked, this, [this] { ProdolgenieClick(); });
}

void TLNview::PlaceOverlays() {
    // The coefficients stay in the lower right corner of the plot, whatever the
    // window's size.
    const QRectF plot = Chart2->Chart()->plotArea();
    if (plot.isEmpty()) return;
    const QPoint corner = Chart2->mapFromScene(Chart2->Chart()->mapToScene(plot.bottomRight()));
    const int w = std::max(Label1->width(), Label2->width());
    const int h = Label1->height();
    Label1->move(corner.x() - w - 12, corner.y() - 2 * h - 14);
    Label2->move(corner.x() - w - 12, corner.y() - h - 10);
    Label1->raise();
    Label2->raise();
}

void TLNview::Fill(const rel::AnalysisState& st) {
    // Every failure with positive time, rejects below 1 h included; the position
    // counts every failure before it, those at 0 h too.
    Points failures;
    int first = -1;
    for (std::size_t i = 0; i < st.ArrProblems.size(); ++i) {
        const double t = st.ArrProblems[i].time;
        if (!(t > 0.0)) continue;
        if (first < 0) first = static_cast<int>(i);
        failures.emplace_back(std::log(t + kLogOffset), std::log(static_cast<double>(i + 1)));
    }
    Label3->setText(QString::fromStdString(st.DataTitle));
    Label3->adjustSize();

    // The line is drawn, and its coefficients shown, only where the loaded data
    // define it: at least two failures at 1 h or more, not all at one time.
    Points line;
    if (first >= 0 && rel::LnLineDefined(st)) {
        const char sep = DecimalSep();
        Label1->setText(QStringLiteral("A= ") + QString::fromStdString(rel::FormatFixed(st.A_LN, 6, 4, sep)));
        Label2->setText(QStringLiteral("B= ") + QString::fromStdString(rel::FormatFixed(st.B_LN, 6, 4, sep)));
        const std::size_t last = st.ArrProblems.size() - 1;
        for (double t : {st.ArrProblems[static_cast<std::size_t>(first)].time, st.ArrProblems[last].time}) {
            const double x = std::log(t + kLogOffset);
            line.emplace_back(x, st.A_LN * x + st.B_LN);
        }
    } else {
        Label1->setText(QStringLiteral("A= "));
        Label2->setText(QStringLiteral("B= "));
    }
    Label1->adjustSize();
    Label2->adjustSize();
    Chart2->SetPoints(failures, line);
    PlaceOverlays();
}

void TLNview::Button2Click() {
    // The view is printed whether the set-up dialog was confirmed or cancelled.
    PrintWindow(this, dialogs_, true, tr("Накопление отказов.pdf"));
}

void TLNview::ProdolgenieClick() { close(); }

void TLNview::closeEvent(QCloseEvent* event) {
    // The main window comes back before this one goes, so that the program never
    // finds itself without a visible window.
    emit Closing();
    event->accept();
}

}  // namespace relan
