#include "form1_ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "failure_list_model.h"
#include "form1_makers.h"
#include "lnchart.h"
#include "numbers.h"
#include "probability_bar.h"
#include "wrap_button.h"

namespace relan {

void Form1Ui::SetupUi(QMainWindow* window, FailureListModel* problems) {
    auto* central = new QWidget(window);
    central->setObjectName(QStringLiteral("Form1Client"));
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(6, 4, 6, 4);
    outer->setSpacing(4);

    auto* top = new QWidget(central);
    top->setObjectName(QStringLiteral("TopArea"));
    BuildTopArea(top);
    outer->addWidget(top);

    // Upper band: the fleet and warranty figures, the fitting options, the chart.
    auto* upper = new QSplitter(Qt::Horizontal);
    upper->setObjectName(QStringLiteral("UpperSplitter"));
    upper->setChildrenCollapsible(false);
    upper->addWidget(Scrolled(BuildPanel1(window)));

    PageControl = new QTabWidget;
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setUsesScrollButtons(true);
    PageControl->setElideMode(Qt::ElideNone);
    PageControl->setStyleSheet(
        QStringLiteral("QTabWidget#PageControl::pane { border: 1px solid palette(mid); top: -1px; }"
                       "QTabBar::tab { border: 1px solid palette(dark); border-radius: 3px;"
                       " background: palette(button); padding: 4px 8px; margin: 1px 3px 3px 0px; }"
                       "QTabBar::tab:selected { background: palette(light); border-color: palette(shadow);"
                       " }"));
    TabSheet1 = BuildTabSheet1(window);
    TabSheet2 = BuildTabSheet2(window);
    PageControl->addTab(Scrolled(TabSheet1), tr("1. Основной подбор параметров распределения"));
    PageControl->addTab(Scrolled(TabSheet2), tr("2. Генетический алгоритм"));
    upper->addWidget(PageControl);

    Chart2 = new LnChart(false);
    Chart2->setMinimumSize(280, 220);
    Button2 = new QPushButton(QStringLiteral("Expand"), Chart2);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->adjustSize();
    QObject::connect(Chart2, &LnChart::Resized, Chart2, [this] { PlaceExpandButton(); });
    upper->addWidget(Chart2);
    upper->setStretchFactor(0, 0);
    upper->setStretchFactor(1, 0);
    upper->setStretchFactor(2, 1);

    // Lower band: the progress log and the failure list.
    auto* lower = new QSplitter(Qt::Horizontal);
    lower->setObjectName(QStringLiteral("LowerSplitter"));
    lower->setChildrenCollapsible(false);
    Memo2 = new QPlainTextEdit;
    Memo2->setObjectName(QStringLiteral("Memo2"));
    // Long lines wrap at the right edge instead of being cut there.
    Memo2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo2->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setPlainText(tr("Ход решения"));
    Memo2->setMinimumWidth(200);
    lower->addWidget(Memo2);

    lower->addWidget(BuildFailureList(problems));
    lower->setStretchFactor(0, 0);
    lower->setStretchFactor(1, 1);

    auto* body = new QSplitter(Qt::Vertical, central);
    body->setObjectName(QStringLiteral("BodySplitter"));
    body->setChildrenCollapsible(false);
    body->addWidget(upper);
    body->addWidget(lower);
    body->setStretchFactor(0, 3);
    body->setStretchFactor(1, 2);
    outer->addWidget(body, 1);

    window->setCentralWidget(central);

    UpperSplitter = upper;
    LowerSplitter = lower;
    BodySplitter = body;
}

QTableView* Form1Ui::BuildFailureList(FailureListModel* problems) {
    Problems_Grid = new QTableView;
    Problems_Grid->setModel(problems);
    Problems_Grid->setObjectName(QStringLiteral("Problems_Grid"));
    Problems_Grid->setToolTip(tr("Данные из файла об отказах изделий"));
    Problems_Grid->verticalHeader()->hide();
    Problems_Grid->verticalHeader()->setDefaultSectionSize(Problems_Grid->fontMetrics().height() + 6);
    Problems_Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Problems_Grid->horizontalHeader()->setHighlightSections(false);
    Problems_Grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Problems_Grid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: palette(tool-tip-base); color: "
                       "palette(tool-tip-text); border: 0px; border-right: 1px solid palette(mid);"
                       " border-bottom: 1px solid palette(mid); padding: 2px 4px; }"));
    for (int c = 0; c < FailureListModel::kColumns; ++c) Problems_Grid->setColumnWidth(c, 64);
    Problems_Grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    return Problems_Grid;
}

void Form1Ui::BuildTopArea(QWidget* host) {
    auto* g = new QGridLayout(host);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);

    Label10 = MakeLabel(host, "Label10", QString());
    QFont big = Label10->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    Label10->setFont(big);
    Label10->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label10->setMinimumHeight(QFontMetrics(big).height());

    Label15 = MakeLabel(host, "Label15", QString(), true);
    Label15->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Label1 = MakeLabel(host, "Label1", tr("Файл исходных данных:"));
    // Empty until a file has been loaded: it names the file whose data are shown.
    FilePath = MakeEdit(host, "FilePath");
    FilePath->setPlaceholderText(tr("выберите файл кнопкой «Путь»"));
    Label1->setBuddy(FilePath);
    OpenFileStart = new QPushButton(host->style()->standardIcon(QStyle::SP_DialogOpenButton), tr("Путь"), host);
    OpenFileStart->setObjectName(QStringLiteral("OpenFileStart"));
    OpenFileStart->setToolTip(
        tr("Файл содержит строки комментария, среднего времени окончания гарантии, СКО гарантии, "
           "парка, числа всех отказов и массив времен отказов"));
    OpenFileStart->setDefault(true);
    OpenFileStart->setMinimumWidth(90);

    g->addWidget(Label10, 0, 0, 1, 3);
    g->addWidget(Label15, 1, 0, 1, 3);
    g->addWidget(Label1, 2, 0);
    g->addWidget(FilePath, 2, 1);
    g->addWidget(OpenFileStart, 2, 2);
    g->setColumnStretch(1, 1);
}

QWidget* Form1Ui::BuildPanel1(const QMainWindow* window) {
    Panel1 = new QFrame;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    auto* g = new QGridLayout(Panel1);
    g->setContentsMargins(8, 6, 8, 6);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(3);
    const int fieldWidth = window->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 12;

    int row = 0;
    auto addRow = [&](QLabel* label, QWidget* field) {
        label->setWordWrap(true);
        g->addWidget(label, row, 0);
        field->setFixedWidth(fieldWidth);
        g->addWidget(field, row, 1, Qt::AlignTop);
        ++row;
    };
    QLabel* l = nullptr;

    Label2 = MakeLabel(Panel1, "Label2", tr("Среднее количество объектов в гарантийный период"));
    // The fleet size and the failure count come from the data file: every figure is
    // computed from the file's, so the fields only show them.
    meKolAll = MakeEdit(Panel1, "meKolAll");
    meKolAll->setReadOnly(true);
    meKolAll->setToolTip(tr("Из файла данных"));
    Label2->setBuddy(meKolAll);
    addRow(Label2, meKolAll);
    Label3 = MakeLabel(Panel1, "Label3", tr("Количество независимых отказов 2-3 групп сложности"));
    meKolOtk = MakeEdit(Panel1, "meKolOtk");
    meKolOtk->setReadOnly(true);
    meKolOtk->setToolTip(tr("Из файла данных"));
    Label3->setBuddy(meKolOtk);
    addRow(Label3, meKolOtk);
    meSred = MakeLabeledEdit(Panel1, "meSred", tr(" Среднее время гарантии"), QString(), &l);
    l->setToolTip(tr("Среднее время наблюдений"));
    addRow(l, meSred);
    meSKO = MakeLabeledEdit(Panel1, "meSKO", tr(" СКО времени гарантии"), QString(), &l);
    addRow(l, meSKO);
    LabeledEdit2 = MakeLabeledEdit(Panel1, "LabeledEdit2", tr(" Расчетный период учета отказов"), QString(), &l);
    l->setToolTip(tr("Среднее время наблюдений"));
    // The period is kept with the run but enters no figure: shown, not edited.
    LabeledEdit2->setReadOnly(true);
    LabeledEdit2->setToolTip(tr("Из файла данных (среднее время гарантии); в расчете не используется"));
    addRow(l, LabeledEdit2);
    LabeledEdit3 =
        MakeLabeledEdit(Panel1, "LabeledEdit3", tr(" Расч. время приработки"),
                        QString::fromLatin1(rel::defaults::kBurnInText), &l);
    addRow(l, LabeledEdit3);

    auto* line = new QFrame(Panel1);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    g->addWidget(line, row++, 0, 1, 2);

    Label9 = MakeLabel(Panel1, "Label9", tr("Файл данных времен окончания гарантии"), true);
    g->addWidget(Label9, row++, 0, 1, 2);
    SpeedButton1 = new QToolButton(Panel1);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("File"));
    SpeedButton1->setAutoRaise(false);
    SpeedButton1->setMinimumWidth(60);
    Edit4 = MakeEdit(Panel1, "Edit4", QStringLiteral("c:\\"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(SpeedButton1);
    fileRow->addWidget(Edit4, 1);
    g->addLayout(fileRow, row++, 0, 1, 2);

    Label14 = MakeLabel(Panel1, "Label14", tr("Результат расчета массива времен окончания гарантии"), true);
    QFont bold = Label14->font();
    bold.setBold(true);
    Label14->setFont(bold);
    g->addWidget(Label14, row++, 0, 1, 2);
    Label11 = MakeLabel(Panel1, "Label11", tr("Количество объектов анализа"));
    MaskEdit1 = MakeEdit(Panel1, "MaskEdit1");
    Label11->setBuddy(MaskEdit1);
    addRow(Label11, MaskEdit1);
    Label12 = MakeLabel(Panel1, "Label12", tr("Среднее время гарантии, ч."));
    MaskEditSrednee = MakeEdit(Panel1, "MaskEditSrednee");
    Label12->setBuddy(MaskEditSrednee);
    addRow(Label12, MaskEditSrednee);
    Label13 = MakeLabel(Panel1, "Label13", tr("СКО времени гарантии, ч."));
    MaskEditSKO = MakeEdit(Panel1, "MaskEditSKO");
    Label13->setBuddy(MaskEditSKO);
    addRow(Label13, MaskEditSKO);

    auto* line2 = new QFrame(Panel1);
    line2->setFrameShape(QFrame::HLine);
    line2->setFrameShadow(QFrame::Sunken);
    g->addWidget(line2, row++, 0, 1, 2);
    AgesLabel = MakeLabel(Panel1, "AgesLabel", tr("Файл наработок парка"), true);
    AgesLabel->setToolTip(tr("Парк в эксплуатации: наработка каждого изделия сейчас, окончание его гарантии и "
                             "наработка в месяц, если известны"));
    g->addWidget(AgesLabel, row++, 0, 1, 2);
    AgesButton = new QToolButton(Panel1);
    AgesButton->setObjectName(QStringLiteral("AgesButton"));
    AgesButton->setText(tr("Файл…"));
    AgesButton->setAutoRaise(false);
    AgesButton->setMinimumWidth(60);
    AgesPath = MakeEdit(Panel1, "AgesPath");
    AgesPath->setReadOnly(true);
    auto* agesRow = new QHBoxLayout;
    agesRow->addWidget(AgesButton);
    agesRow->addWidget(AgesPath, 1);
    g->addLayout(agesRow, row++, 0, 1, 2);
    AgesInfo = MakeLabel(Panel1, "AgesInfo", QString(), true);
    AgesInfo->setWordWrap(true);
    g->addWidget(AgesInfo, row++, 0, 1, 2);
    QLabel* usage = MakeLabel(Panel1, "UsageLabel", tr("Наработка в месяц, ч (для изделий без своей)"));
    UsageEdit = MakeEdit(Panel1, "UsageEdit");
    UsageEdit->setToolTip(tr("Пусто — берется из файла наработок"));
    usage->setBuddy(UsageEdit);
    addRow(usage, UsageEdit);
    QLabel* horizon = MakeLabel(Panel1, "HorizonLabel", tr("Месяцев прогноза"));
    HorizonEdit = MakeEdit(Panel1, "HorizonEdit", QStringLiteral("12"));
    horizon->setBuddy(HorizonEdit);
    addRow(horizon, HorizonEdit);

    g->setColumnStretch(0, 1);
    g->setRowStretch(row, 1);
    return Panel1;
}

void Form1Ui::ArrangeBands() {
    // The figures and the options at their natural widths, the chart takes the
    // rest; the upper band as high as its fields need, the failure list the rest.
    const int width = UpperSplitter->width();
    const int w1 = std::clamp(width / 4, 300, 420);
    const int w2 = std::max({TabSheet1->minimumSizeHint().width() + 24, TabSheet2->minimumSizeHint().width() + 24,
                             PageControl->tabBar()->sizeHint().width() + 8});
    UpperSplitter->setSizes({w1, w2, std::max(280, width - w1 - w2)});
    LowerSplitter->setSizes({w1, std::max(300, width - w1)});
    const int height = BodySplitter->height();
    const int need = std::max({Panel1->sizeHint().height(),
                               TabSheet1->sizeHint().height() + PageControl->tabBar()->sizeHint().height() + 12,
                               TabSheet2->sizeHint().height() + PageControl->tabBar()->sizeHint().height() + 12});
    const int up = std::clamp(need + 6, height / 2, height * 3 / 5);
    BodySplitter->setSizes({up, std::max(150, height - up)});
}

void Form1Ui::PlaceExpandButton() {
    Button2->adjustSize();
    Button2->move(Chart2->width() - Button2->width() - 6, 6);
    Button2->raise();
}

}  // namespace relan
