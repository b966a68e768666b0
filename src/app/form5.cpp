#include "form5.h"

#include <QChart>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QPushButton>
#include <QScreen>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "captions.h"
#include "chart_tools.h"
#include "chart_style.h"
#include "ml_panel.h"
#include "numbers.h"
#include "printing.h"
#include "results/out_results.h"
#include "results_chart.h"
#include "results_grid.h"
#include "table_tools.h"

namespace relan {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TForm5::TForm5(QWidget* mainWindow, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), mainWindow_(mainWindow), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("Количественный анализ закона распределения отказов. Анализ надежности в "
                      "эксплуатации.") +
                   VersionNotice());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    Sheet = new QWidget;
    Sheet->setObjectName(QStringLiteral("Form5Sheet"));
    Sheet->setWindowTitle(windowTitle());  // the document name when the sheet is printed
    Sheet->setBackgroundRole(QPalette::Button);
    Sheet->setAutoFillBackground(true);

    // The three charts, with their axes' titles; the bottom axes show the interval
    // end times.
    Chart3 = new ResultsChart("Chart3",
                              tr("Отказы - факт и с коррекцией по выбыванию из гарантии, Ln количества\n"
                                 "Если поток снижается, параметры гарантийного срока завышены "),
                              false,
                              {tr("Время наработки, час"), tr("Отказов за 100 час. на изделие"),
                               tr("Ln числа отказов"), tr("Ln времени наработки")},
                              Sheet);
    Chart1 = new ResultsChart("Chart1", tr("Изменение потока отказов в течение гарантийного периода"), true,
                              {QString(), tr("Отказов за 100 час на 1 изделие"),
                               tr("Накопление отказов, уход из наблюдения (гарантии), %"), QString()},
                              Sheet);
    ResultsChart::AxisTitles axes2{QString(), tr("Отказов на 1 изделие"), tr("Выбывание из гарантии, %"),
                                   QString()};
    axes2.rightFixed = true;
    Chart2 =
        new ResultsChart("Chart2", tr("Интегральные (накопленные) оценки потока отказов"), true, axes2, Sheet);
    for (ResultsChart* c : {Chart3, Chart1, Chart2}) c->Explorer()->SetDialogs(&dialogs_);
    Chart1->chart()->legend()->setAlignment(Qt::AlignBottom);
    Chart2->chart()->legend()->hide();
    Chart3->chart()->legend()->hide();

    Label10 = new QLabel(Sheet);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setFont(FontOf({QStringLiteral("Arial Black")}, 24, true));
    Label10->setMinimumWidth(200);
    Label10->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Label10->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label10->installEventFilter(this);

    Button1 = new QPushButton(tr("Печать"), Sheet);
    Button1->setObjectName(QStringLiteral("Button1"));
    Prodolgenie = new QPushButton(tr("Продолж."), Sheet);
    Prodolgenie->setObjectName(QStringLiteral("Prodolgenie"));
    for (QPushButton* b : {Button1, Prodolgenie}) b->setMinimumSize(97, 40);

    Result_Grid = new ResultsGrid(Sheet);
    Result_Grid->Tools()->SetDialogs(&dialogs_);
    PanelML = new MlPanel(Sheet);
    PanelML->ForecastExplorer()->SetDialogs(&dialogs_);
    ResultNotes = new QLabel(Sheet);
    ResultNotes->setObjectName(QStringLiteral("ResultNotes"));
    ResultNotes->setWordWrap(true);
    ResultNotes->setFont(Result_Grid->font());
    ResultNotes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    {
        QPalette pal = ResultNotes->palette();
        pal.setColor(QPalette::WindowText, QColor(150, 0, 0));
        ResultNotes->setPalette(pal);
    }
    ResultNotes->hide();

    LayOutSheet();

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Prodolgenie, &QPushButton::clicked, this, [this] { ProdolgenieClick(); });
    resize(kForm5DesignWidth, kForm5DesignHeight);
}

TForm5::~TForm5() = default;

void TForm5::LayOutSheet() {
    // Upper band: the Ln chart, then the title, the buttons and the table; lower
    // band: the failure flow and the accumulated failures. The stretch factors
    // keep the designed proportions.
    auto* head = new QHBoxLayout;
    head->setSpacing(8);
    head->addWidget(Label10, 1);
    head->addWidget(Button1);
    head->addWidget(Prodolgenie);
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    right->addLayout(head);
    right->addWidget(Result_Grid, 1);
    right->addWidget(ResultNotes);
    auto* upper = new QHBoxLayout;
    upper->setSpacing(2);
    upper->addWidget(Chart3, 782);
    upper->addLayout(right, 1102);
    auto* lower = new QHBoxLayout;
    lower_ = lower;
    lower->setSpacing(2);
    lower->addWidget(Chart1, 1298);
    lower->addWidget(Chart2, 595);
    // Model 3's intervals beside the charts, only when it is among the results; they
    // scroll when the band is lower than the panel.
    mlScroll_ = new QScrollArea(Sheet);
    mlScroll_->setObjectName(QStringLiteral("PanelMLScroll"));
    mlScroll_->setFrameShape(QFrame::NoFrame);
    mlScroll_->setWidgetResizable(true);
    mlScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mlScroll_->setWidget(PanelML);
    lower->addWidget(mlScroll_, 420);
    auto* all = new QVBoxLayout(Sheet);
    all->setContentsMargins(2, 2, 2, 2);
    all->setSpacing(2);
    all->addLayout(upper, 390);
    all->addLayout(lower, 716);

    SetCompact(false);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("Form5Scroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setWidget(Sheet);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);
}

void TForm5::SetCompact(bool compact) {
    compact_ = compact;
    Result_Grid->SetCompact(compact);
    // Below these sizes the window scrolls instead of squeezing the charts further.
    Chart3->setMinimumSize(compact ? 300 : 340, compact ? 190 : 300);
    Chart1->setMinimumSize(compact ? 470 : 560, compact ? 250 : 360);
    Chart2->setMinimumSize(compact ? 320 : 380, compact ? 250 : 360);
}

void TForm5::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const bool compact = height() < 900;
    if (compact != compact_) SetCompact(compact);
}

void TForm5::ShowResults(const rel::ResultsContent& content) {
    Fill(content);
    if (!placed_) {
        placed_ = true;
        PlaceOnScreen();
    }
    show();
    raise();
    activateWindow();
}

void TForm5::PlaceOnScreen() {
    // Aligned to the top of the work area at its full width, as high as designed
    // or as the work area allows.
    QScreen* s = mainWindow_ ? mainWindow_->screen() : screen();
    if (!s) return;
    const QRect avail = s->availableGeometry();
    const int h = std::min(avail.height(), kForm5DesignHeight);
    setGeometry(avail.x(), avail.y(), avail.width(), h);
}

void TForm5::Fill(const rel::ResultsContent& content) {
    // Charts first, then the title and the table, as the output computed them.
    Chart1->Draw(content.Chart1);
    Chart2->Draw(content.Chart2);
    Chart3->Draw(content.Chart3);
    title_ = Q(content.Label10);
    Label10->setToolTip(title_);
    FitTitle();
    Result_Grid->Draw(content.Table);
    QStringList notes;
    for (const std::string& n : content.Table.Notes) notes << Q(n);
    ResultNotes->setText(notes.join(QLatin1Char('\n')));
    ResultNotes->setVisible(!notes.isEmpty());
    PanelML->Show(content.ML);
    mlScroll_->setVisible(!PanelML->isHidden());
    // Model 3's panel takes its room from the failure-flow chart, so that the
    // accumulated-failures chart keeps its designed width and its whole title.
    lower_->setStretchFactor(Chart1, PanelML->isHidden() ? 1298 : 1298 - 420);
}

void TForm5::FitTitle() {
    // The title line in the designed face and size, smaller when it would not fit
    // beside the buttons; the whole text is in the tooltip too.
    QFont f = Label10->font();
    const int avail = std::max(100, Label10->width());
    int px = 24;
    f.setPixelSize(px);
    while (px > 12 && QFontMetrics(f).horizontalAdvance(title_) > avail) f.setPixelSize(--px);
    Label10->setFont(f);
    Label10->setText(title_);
}

bool TForm5::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label10 && event->type() == QEvent::Resize) FitTitle();
    return QWidget::eventFilter(watched, event);
}

void TForm5::Button1Click() {
    // The whole sheet as vectors, also what is scrolled out of view, under the page's
    // header line. Nothing is printed when the set-up dialog is cancelled.
    PrintResults(Parts(), this, dialogs_, HeaderLine(), windowTitle(), tr("Результаты анализа.pdf"));
}

void TForm5::SetWorkbookWriter(std::function<bool(const QString& file, QString& why)> writer) {
    Result_Grid->Tools()->SetWorkbookWriter(std::move(writer));
}

QString TForm5::HeaderLine() const {
    if (!reportSettings_) return {};
    return ReportHeaderLine(*reportSettings_, ReportTime(), DecimalSep());
}

void TForm5::ProdolgenieClick() {
    hide();
    if (mainWindow_) mainWindow_->show();
}

void TForm5::closeEvent(QCloseEvent* event) {
    // Closed by the user: hidden, not destroyed; the main window comes back.
    if (mainWindow_) mainWindow_->show();
    event->accept();
}

QString TForm5::CellText(int col, int row) const { return Result_Grid->CellText(col, row); }

ResultsSheet TForm5::Parts() const {
    return {Sheet, Label10, Result_Grid, {Chart3, Chart1, Chart2}, PanelML, ResultNotes};
}

void TForm5::PaintSheet(QPainter& painter, const QRectF& target) const {
    PaintResultsSheet(painter, target, Parts());
}

bool TForm5::WriteReportPdf(const QString& file, QString& why) const {
    return WriteResultsPdf(Parts(), file, windowTitle(), HeaderLine(), why);
}

bool TForm5::WriteReport(const QString& file, QString& why) const {
    if (ReportFormatOf(file) == ReportFormat::Pdf) return WriteReportPdf(file, why);
    return WriteResultsImage(Parts(), file, windowTitle(), HeaderLine(), why);
}

}  // namespace relan
