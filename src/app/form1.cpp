#include "form1.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "calc_runner.h"
#include "analysis/gen_run.h"
#include "analysis/load.h"
#include "data/warranty_file.h"
#include "dialogs.h"
#include "form5.h"
#include "gen_thread.h"
#include "lnchart.h"
#include "lnview.h"
#include "numbers.h"
#include "captions.h"
#include "wrap_button.h"

namespace relan {

namespace {

const QString kNoPathText = QStringLiteral("Не указан путь к файлу исходных данных");

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, bool wrap = false) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(wrap);
    return l;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text = {}) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

// A labelled edit: the edit and its own label, named after the edit.
QLineEdit* MakeLabeledEdit(QWidget* parent, const char* name, const QString& caption,
                           const QString& text, QLabel** label) {
    QLineEdit* e = MakeEdit(parent, name, text);
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name) + QStringLiteral("EditLabel"));
    l->setBuddy(e);
    l->setWordWrap(true);
    *label = l;
    return e;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, bool checked) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    c->setChecked(checked);
    return c;
}

QSlider* MakeTrackBar(QWidget* parent, const char* name, int position) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(0, 100);
    s->setTickInterval(5);
    s->setTickPosition(QSlider::TicksBelow);
    s->setPageStep(5);
    s->setValue(position);
    return s;
}

QScrollArea* Scrolled(QWidget* content) {
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return area;
}

}  // namespace

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

AppEnv AppEnv::ForExecutable(Dialogs* dialogs) {
    AppEnv env;
    env.ExeDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    env.SettingsFile = env.ExeDir + QStringLiteral("rel.txt");
    env.dialogs = dialogs;
    return env;
}

TForm1::TForm1(const AppEnv& env, QWidget* parent)
    : QMainWindow(parent), env_(env), settings_(env.SettingsFile) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(MainCaption());
    openDialog1_.Filter = QString::fromUtf8(kDataFilter);
    openDialog1_.InitialDir = env_.ExeDir;

    auto* central = new QWidget(this);
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
    upper->addWidget(Scrolled(BuildPanel1()));

    PageControl = new QTabWidget;
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setUsesScrollButtons(true);
    PageControl->setElideMode(Qt::ElideNone);
    PageControl->setStyleSheet(QStringLiteral(
        "QTabWidget#PageControl::pane { border: 1px solid palette(mid); top: -1px; }"
        "QTabBar::tab { border: 1px solid palette(dark); border-radius: 3px;"
        " background: palette(button); padding: 4px 8px; margin: 1px 3px 3px 0px; }"
        "QTabBar::tab:selected { background: palette(light); border-color: palette(shadow);"
        " }"));
    TabSheet1 = BuildTabSheet1();
    TabSheet2 = BuildTabSheet2();
    PageControl->addTab(Scrolled(TabSheet1), QStringLiteral("1. Основной подбор параметров распределения"));
    PageControl->addTab(Scrolled(TabSheet2), QStringLiteral("2. Генетический алгоритм"));
    upper->addWidget(PageControl);

    Chart2 = new LnChart(false);
    Chart2->setMinimumSize(280, 220);
    Button2 = new QPushButton(QStringLiteral("Expand"), Chart2);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->adjustSize();
    connect(Chart2, &LnChart::Resized, this, [this] { PlaceExpandButton(); });
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
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setPlainText(QStringLiteral("Ход решения"));
    Memo2->setMinimumWidth(200);
    lower->addWidget(Memo2);

    Problems_Grid = new QTableWidget(24, 4);
    Problems_Grid->setObjectName(QStringLiteral("Problems_Grid"));
    Problems_Grid->setToolTip(QStringLiteral("Данные из файла об отказах изделий"));
    Problems_Grid->verticalHeader()->hide();
    Problems_Grid->verticalHeader()->setDefaultSectionSize(Problems_Grid->fontMetrics().height() + 6);
    Problems_Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Problems_Grid->horizontalHeader()->setHighlightSections(false);
    Problems_Grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Problems_Grid->horizontalHeader()->setStyleSheet(QStringLiteral(
        "QHeaderView::section { background-color: palette(tool-tip-base); color: "
        "palette(tool-tip-text); border: 0px; border-right: 1px solid palette(mid);"
        " border-bottom: 1px solid palette(mid); padding: 2px 4px; }"));
    for (int c = 0; c < 4; ++c) {
        Problems_Grid->setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
        Problems_Grid->setColumnWidth(c, 64);
    }
    Problems_Grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    lower->addWidget(Problems_Grid);
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

    setCentralWidget(central);

    upperSplitter_ = upper;
    lowerSplitter_ = lower;
    bodySplitter_ = body;

    connect(OpenFileStart, &QPushButton::clicked, this, [this] { OpenFileStartClick(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(bbRaschet, &QPushButton::clicked, this, [this] { bbRaschetClick(); });
    connect(ToolBRunGenOptim, &QPushButton::clicked, this, [this] { ToolBRunGenOptimClick(); });
    connect(StopBtn, &QPushButton::clicked, this, [this] { StopBtnClick(); });
    connect(btnCopyBest, &QPushButton::clicked, this, [this] { btnCopyBestClick(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    FormCreate();
}

TForm1::~TForm1() {
    // The optimiser works on this window's state and controls: it ends first.
    EndGenRun();
    if (LNview) delete LNview.data();
}

void TForm1::SetResultsWindow(TForm5* form5) { Form5 = form5; }
TForm5* TForm1::ResultsWindow() const { return Form5; }
TLNview* TForm1::ExpandedView() const { return LNview; }

void TForm1::BuildTopArea(QWidget* host) {
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

    Label1 = MakeLabel(host, "Label1", QStringLiteral("Файл исходных данных:"));
    FilePath = MakeEdit(host, "FilePath", QStringLiteral("c:\\"));
    Label1->setBuddy(FilePath);
    OpenFileStart = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton),
                                    QStringLiteral("Путь"), host);
    OpenFileStart->setObjectName(QStringLiteral("OpenFileStart"));
    OpenFileStart->setToolTip(QStringLiteral(
        "Файл содержит строки комментария, среднего времени окончания гарантии, СКО гарантии, "
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

QWidget* TForm1::BuildPanel1() {
    Panel1 = new QFrame;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    auto* g = new QGridLayout(Panel1);
    g->setContentsMargins(8, 6, 8, 6);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(3);
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 12;

    int row = 0;
    auto addRow = [&](QLabel* label, QWidget* field) {
        label->setWordWrap(true);
        g->addWidget(label, row, 0);
        field->setFixedWidth(fieldWidth);
        g->addWidget(field, row, 1, Qt::AlignTop);
        ++row;
    };
    QLabel* l = nullptr;

    Label2 = MakeLabel(Panel1, "Label2", QStringLiteral("Среднее количество объектов в гарантийный период"));
    meKolAll = MakeEdit(Panel1, "meKolAll");
    Label2->setBuddy(meKolAll);
    addRow(Label2, meKolAll);
    Label3 = MakeLabel(Panel1, "Label3", QStringLiteral("Количество независимых отказов 2-3 групп сложности"));
    meKolOtk = MakeEdit(Panel1, "meKolOtk");
    Label3->setBuddy(meKolOtk);
    addRow(Label3, meKolOtk);
    meSred = MakeLabeledEdit(Panel1, "meSred", QStringLiteral(" Среднее время гарантии"), QString(), &l);
    l->setToolTip(QStringLiteral("Среднее время наблюдений"));
    addRow(l, meSred);
    meSKO = MakeLabeledEdit(Panel1, "meSKO", QStringLiteral(" СКО времени гарантии"), QString(), &l);
    addRow(l, meSKO);
    LabeledEdit2 = MakeLabeledEdit(Panel1, "LabeledEdit2",
                                   QStringLiteral(" Расчетный период учета отказов"), QString(), &l);
    l->setToolTip(QStringLiteral("Среднее время наблюдений"));
    addRow(l, LabeledEdit2);
    LabeledEdit3 = MakeLabeledEdit(Panel1, "LabeledEdit3", QStringLiteral(" Расч. время приработки"),
                                   QStringLiteral("300"), &l);
    addRow(l, LabeledEdit3);

    auto* line = new QFrame(Panel1);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    g->addWidget(line, row++, 0, 1, 2);

    Label9 = MakeLabel(Panel1, "Label9", QStringLiteral("Файл данных времен окончания гарантии"), true);
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

    Label14 = MakeLabel(Panel1, "Label14",
                        QStringLiteral("Результат расчета массива времен окончания гарантии"), true);
    QFont bold = Label14->font();
    bold.setBold(true);
    Label14->setFont(bold);
    g->addWidget(Label14, row++, 0, 1, 2);
    Label11 = MakeLabel(Panel1, "Label11", QStringLiteral("Количество объектов анализа"));
    MaskEdit1 = MakeEdit(Panel1, "MaskEdit1");
    Label11->setBuddy(MaskEdit1);
    addRow(Label11, MaskEdit1);
    Label12 = MakeLabel(Panel1, "Label12", QStringLiteral("Среднее время гарантии, ч."));
    MaskEditSrednee = MakeEdit(Panel1, "MaskEditSrednee");
    Label12->setBuddy(MaskEditSrednee);
    addRow(Label12, MaskEditSrednee);
    Label13 = MakeLabel(Panel1, "Label13", QStringLiteral("СКО времени гарантии, ч."));
    MaskEditSKO = MakeEdit(Panel1, "MaskEditSKO");
    Label13->setBuddy(MaskEditSKO);
    addRow(Label13, MaskEditSKO);

    g->setColumnStretch(0, 1);
    g->setRowStretch(row, 1);
    return Panel1;
}

QWidget* TForm1::BuildTabSheet1() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* g = new QGridLayout(page);
    g->setContentsMargins(8, 6, 8, 6);
    g->setVerticalSpacing(3);
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 12;
    int row = 0;

    Label4 = MakeLabel(page, "Label4", QStringLiteral("Параметры оптимизации"));
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    g->addWidget(Label4, row++, 0, 1, 2);

    const QString hint = QStringLiteral("Минимум попадпний в столбец гистограммы");
    const QString coef = DecimalText("1", "00025");
    auto addEdit = [&](QLabel*& label, const char* labelName, const QString& caption, QLineEdit*& edit,
                       const char* name, bool withHint) {
        label = MakeLabel(page, labelName, caption, true);
        edit = MakeEdit(page, name, coef);
        edit->setFixedWidth(fieldWidth);
        if (withHint) edit->setPlaceholderText(hint);
        label->setBuddy(edit);
        g->addWidget(label, row, 0);
        g->addWidget(edit, row++, 1);
    };
    addEdit(Label5, "Label5", QStringLiteral("Коэф-т уменьшения шага модели 1.1"), Edit1, "Edit1", true);
    addEdit(Label17, "Label17", QStringLiteral("Коэф-т уменьшения шага модели 1.2"), Edit6, "Edit6", true);
    addEdit(Label16, "Label16", QStringLiteral("Коэф-т уменьшения шага модели 2"), Edit5, "Edit5", false);

    bbRaschet = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("Расчет"), page);
    bbRaschet->setObjectName(QStringLiteral("bbRaschet"));
    bbRaschet->setMinimumHeight(30);
    QFont bf = bbRaschet->font();
    bf.setBold(true);
    bbRaschet->setFont(bf);
    g->addWidget(bbRaschet, row++, 0, 1, 2);

    SpirSpusk = MakeCheck(page, "SpirSpusk", QStringLiteral("Модель 1.1 по Пирсону, метод спирального спуска "), true);
    BoxNewton = MakeCheck(page, "BoxNewton", QStringLiteral("Модель 1.2 по Пирсону, метод Ньютона "), false);
    BoxSmirnow = MakeCheck(page, "BoxSmirnow", QStringLiteral("Модель 2 (по Смирнову)"), false);
    Sred_flag = MakeCheck(page, "Sred_flag", QStringLiteral("Подбор СВН (мет.1)"), false);
    SKO_Flag = MakeCheck(page, "SKO_Flag", QStringLiteral("Подбор СКО (мет.1)"), false);
    for (QCheckBox* c : {SpirSpusk, BoxNewton, BoxSmirnow}) g->addWidget(c, row++, 0, 1, 2);
    auto* flags = new QHBoxLayout;
    flags->addWidget(Sred_flag);
    flags->addWidget(SKO_Flag);
    flags->addStretch(1);
    g->addLayout(flags, row++, 0, 1, 2);

    RadioGroup1 = new QGroupBox(QStringLiteral("Способ подбора параметров"), page);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    auto* rl = new QVBoxLayout(RadioGroup1);
    rl->setContentsMargins(8, 2, 8, 4);
    rl->setSpacing(1);
    const QString items[] = {QStringLiteral("Специальный 1 "), QStringLiteral("Стандарт (default)"),
                             QStringLiteral("Специальный 2")};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(items[i], RadioGroup1);
        b->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        RadioGroup1Items->addButton(b, i);
        rl->addWidget(b);
    }
    RadioGroup1Items->button(1)->setChecked(true);
    g->addWidget(RadioGroup1, row++, 0, 1, 2);
    g->setColumnStretch(0, 1);
    g->setRowStretch(row, 1);
    return page;
}

QWidget* TForm1::BuildTabSheet2() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* g = new QGridLayout(page);
    g->setContentsMargins(8, 6, 8, 6);
    g->setVerticalSpacing(3);
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 12;
    int row = 0;

    Label19 = MakeLabel(page, "Label19",
                        QStringLiteral("Отображение после основного расчета, для нового файла перегрузить!"), true);
    QFont bold = Label19->font();
    bold.setBold(true);
    Label19->setFont(bold);
    g->addWidget(Label19, row++, 0, 1, 3);

    QLabel* l = nullptr;
    auto addEdit = [&](QLineEdit* e) {
        e->setFixedWidth(fieldWidth);
        g->addWidget(l, row, 0, 1, 2);
        g->addWidget(e, row++, 2);
    };
    Edit2 = MakeLabeledEdit(page, "Edit2", QStringLiteral("Точность подбора"), DecimalText("0", "0000001"), &l);
    addEdit(Edit2);
    Edit3 = MakeLabeledEdit(page, "Edit3", QStringLiteral("Размер популяции"), QStringLiteral("3000"), &l);
    addEdit(Edit3);
    NPokoleny = MakeLabeledEdit(page, "NPokoleny", QStringLiteral("Число поколений"), QStringLiteral("1500"), &l);
    addEdit(NPokoleny);

    btnCopyBest = new QPushButton(QStringLiteral("Скопировать лучших"), page);
    btnCopyBest->setObjectName(QStringLiteral("btnCopyBest"));
    LabeledEdit1 = MakeLabeledEdit(page, "LabeledEdit1", QStringLiteral("шт."), QStringLiteral("50"), &l);
    LabeledEdit1->setPlaceholderText(
        QStringLiteral("Скопировать из популяции лучшие варианты и убрать столько же худших"));
    LabeledEdit1->setToolTip(LabeledEdit1->placeholderText());
    LabeledEdit1->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    l->setWordWrap(false);
    auto* copyRow = new QHBoxLayout;
    copyRow->addWidget(btnCopyBest);
    copyRow->addWidget(LabeledEdit1);
    copyRow->addWidget(l);
    copyRow->addStretch(1);
    g->addLayout(copyRow, row++, 0, 1, 3);

    Label7 = MakeLabel(page, "Label7", QStringLiteral("Вероятность скрещивания"));
    TrackBar1 = MakeTrackBar(page, "TrackBar1", 55);
    Label7->setBuddy(TrackBar1);
    g->addWidget(Label7, row, 0);
    g->addWidget(TrackBar1, row++, 1, 1, 2);
    Label8 = MakeLabel(page, "Label8", QStringLiteral("Вероятность мутаций"));
    TrackBar2 = MakeTrackBar(page, "TrackBar2", 15);
    Label8->setBuddy(TrackBar2);
    AttachProbabilityHint(TrackBar1, QStringLiteral("Вероятность скрещивания "));
    AttachProbabilityHint(TrackBar2, QStringLiteral("Вероятность мутации "));
    g->addWidget(Label8, row, 0);
    g->addWidget(TrackBar2, row++, 1, 1, 2);

    ToolBRunGenOptim = new WrapButton(QStringLiteral("Подбор параметров генетическим алгоритмом"), page);
    ToolBRunGenOptim->setObjectName(QStringLiteral("ToolBRunGenOptim"));
    StopBtn = new QPushButton(QStringLiteral("Стоп"), page);
    StopBtn->setObjectName(QStringLiteral("StopBtn"));
    QFont stopFont = StopBtn->font();
    stopFont.setBold(true);
    stopFont.setPointSizeF(stopFont.pointSizeF() * 1.5);
    StopBtn->setFont(stopFont);
    StopBtn->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(ToolBRunGenOptim, 3);
    runRow->addWidget(StopBtn, 1);
    g->addLayout(runRow, row++, 0, 1, 3);

    Label18 = MakeLabel(page, "Label18", QStringLiteral("Ход расчета"));
    ProgressBar2 = new QProgressBar(page);
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    ProgressBar2->setRange(0, 100);
    ProgressBar2->setValue(0);
    g->addWidget(Label18, row, 0);
    g->addWidget(ProgressBar2, row++, 1, 1, 2);

    g->setColumnStretch(1, 1);
    g->setRowStretch(row, 1);
    return page;
}

void TForm1::FormCreate() {
    // Maximised, filling the screen's work area even where no window manager
    // maximises it.
    if (QScreen* s = screen()) setGeometry(s->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    FilePath->setText(settings_.ReadComStr(env_.ExeDir));
}

void TForm1::ArrangeBands() {
    // The figures and the options at their natural widths, the chart takes the
    // rest; the upper band as high as its fields need, the failure list the rest.
    const int width = upperSplitter_->width();
    const int w1 = std::clamp(width / 4, 300, 420);
    const int w2 = std::max({TabSheet1->minimumSizeHint().width() + 24,
                             TabSheet2->minimumSizeHint().width() + 24,
                             PageControl->tabBar()->sizeHint().width() + 8});
    upperSplitter_->setSizes({w1, w2, std::max(280, width - w1 - w2)});
    lowerSplitter_->setSizes({w1, std::max(300, width - w1)});
    const int height = bodySplitter_->height();
    const int need = std::max({Panel1->sizeHint().height(), TabSheet1->sizeHint().height() +
                                                                 PageControl->tabBar()->sizeHint().height() + 12,
                               TabSheet2->sizeHint().height() + PageControl->tabBar()->sizeHint().height() + 12});
    const int up = std::clamp(need + 6, height / 2, height * 3 / 5);
    bodySplitter_->setSizes({up, std::max(150, height - up)});
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!arranged_) {
        arranged_ = true;
        ArrangeBands();
    }
}

void TForm1::PlaceExpandButton() {
    Button2->adjustSize();
    Button2->move(Chart2->width() - Button2->width() - 6, 6);
    Button2->raise();
}

void TForm1::Message(const QString& text) { env_.dialogs->Message(this, text); }

void TForm1::MemoLine(const QString& line) { Memo2->appendPlainText(line); }

int TForm1::RadioGroup1ItemIndex() const { return RadioGroup1Items->checkedId(); }

void TForm1::OpenFileStartClick() {
    if (GenThread) return;  // the optimiser owns the loaded data until it ends
    openDialog1_.InitialDir = settings_.ReadComStr(QString());
    if (openDialog1_.Execute(*env_.dialogs, this)) FilePath->setText(openDialog1_.FileName);
    // Confirmed or cancelled, the dialog's current file is read: after a cancel
    // the file chosen last in this run, before any choice nothing at all.
    LoadDataFile(openDialog1_.FileName);
}

void TForm1::OpenDataFile(const QString& path) {
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    openDialog1_.FileName = full;
    FilePath->setText(full);
    LoadDataFile(full);
}

void TForm1::LoadDataFile(const QString& path) {
    if (path.isEmpty()) return;
    std::string bytes, why;
    if (!rel::ReadFileBytes(NativePath(path), bytes, why)) {
        Message(Q(why) + QStringLiteral(". Файл данных не загружен."));
        return;
    }
    // The file could be read: it becomes the one offered at the next start.
    if (!settings_.WriteComStr(QDir::toNativeSeparators(path)) && !settingsWarned_) {
        settingsWarned_ = true;
        qWarning("relan: the settings file %s cannot be written", qPrintable(settings_.File()));
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const rel::LoadResult r = rel::LoadFailureBytes(St, bytes, path.toStdString(), DecimalSep());
    if (r.ok) ShowFailureView(r.view);
    QApplication::restoreOverrideCursor();
    for (const std::string& m : r.Messages) Message(Q(m));
    if (!r.ok) {
        Message(Q(r.error));
        return;
    }
    for (const std::string& w : r.Warnings) Message(Q(w));
}

void TForm1::ShowFailureView(const rel::FailureFileView& v) {
    Label10->setText(Q(v.Title));
    meSred->setText(Q(v.SredText));
    meSKO->setText(Q(v.SKOText));
    meKolAll->setText(Q(v.ParkText));
    meKolOtk->setText(Q(v.FailuresText));
    LabeledEdit2->setText(Q(v.PeriodText));
    Edit1->setText(Q(v.StepCoef11Text));
    Edit6->setText(Q(v.StepCoef12Text));
    Edit5->setText(Q(v.StepCoef2Text));
    Edit2->setText(Q(v.PrecisionText));
    if (v.GenerationsText) NPokoleny->setText(Q(*v.GenerationsText));

    // The failure list: header row first, then one row per failure.
    Problems_Grid->setUpdatesEnabled(false);
    Problems_Grid->clearContents();
    const int rows = static_cast<int>(St.ArrProblems.size());
    Problems_Grid->setRowCount(rows);
    for (int c = 0; c < 4; ++c)
        Problems_Grid->horizontalHeaderItem(c)->setText(QString::fromUtf8(rel::kGridHeader[static_cast<std::size_t>(c)]));
    for (int r = 0; r < rows; ++r) {
        const auto cells = rel::FailureGridRow(St, v.Marks, static_cast<std::size_t>(r), DecimalSep());
        for (int c = 0; c < 4; ++c)
            Problems_Grid->setItem(r, c, new QTableWidgetItem(Q(cells[static_cast<std::size_t>(c)])));
    }
    const int widths[] = {65, 85, 200, 1010};
    for (int c = 0; c < 4; ++c) Problems_Grid->setColumnWidth(c, widths[c]);
    Problems_Grid->setUpdatesEnabled(true);

    Chart2->SetPoints(v.LnPoints, v.LnLine);
}

void TForm1::SpeedButton1Click() {
    if (GenThread) return;  // the optimiser owns the warranty figures until it ends
    openDialog1_.Filter = QString::fromUtf8(kWarrantyFilter);
    openDialog1_.Execute(*env_.dialogs, this);
    const QString file = openDialog1_.FileName;
    if (file.isEmpty()) return;  // nothing chosen yet in this run: nothing changes
    Edit4->setText(Q(rel::WarrantyShortName(NativePath(file))));
    const rel::WarrantyResult r = rel::LoadWarrantyFile(St, NativePath(file), DecimalSep());
    if (!r.ok) {
        Message(Q(r.error));
        return;
    }
    Label15->setText(Q(r.Title));
    MaskEdit1->setText(Q(r.CountText));
    MaskEditSrednee->setText(Q(r.MeanText));
    MaskEditSKO->setText(Q(r.SdText));
    meSred->setText(Q(r.SredText));
    meSKO->setText(Q(r.SKOText));
}

bool TForm1::CheckDataPath() {
    St.DataPath = FilePath->text().toStdString();
    if (St.DataPath.empty()) {
        Message(kNoPathText);
        return false;
    }
    return St.FileLoaded;
}

bool TForm1::ReadField(QLineEdit* edit, const QString& fieldName, double& value) {
    QString why;
    if (ReadNumber(edit->text(), fieldName, value, why)) return true;
    env_.dialogs->Error(this, QCoreApplication::applicationName(), why);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool TForm1::ReadRunParams() {
    // In this order, each value stored as soon as it is read: a field that is not
    // a number stops the reading with the values before it already taken.
    if (!ReadField(meSred, QStringLiteral("Среднее время гарантии"), St.SredGar)) return false;
    if (!ReadField(meSKO, QStringLiteral("СКО времени гарантии"), St.SKOGar)) return false;
    if (!ReadField(LabeledEdit2, QStringLiteral("Расчетный период учета отказов"), St.PeriodUchet)) return false;
    if (!ReadField(LabeledEdit3, QStringLiteral("Расч. время приработки"), St.TPrirab)) return false;
    return true;
}

void TForm1::ToolBRunGenOptimClick() {
    if (GenThread) return;  // one run at a time
    if (calcRun_ && calcRun_->Running()) return;  // the calculation run owns the state meanwhile
    // 1-2. Run parameters as the calculation run takes them, the pre-run check.
    if (!ReadRunParams()) return;
    if (!CheckDataPath()) return;

    // 3-8. Population size, generation count and precision (a setting the
    // optimiser cannot run with is refused with its reason), the fit flags, the
    // histogram and the per-interval arrays of ModGen.
    rel::GenOptions o = genBase_;
    o.decimalSep = DecimalSep();
    if (const auto refused = rel::StartGenRun(St, Edit3->text().toStdString(), NPokoleny->text().toStdString(),
                                              Edit2->text().toStdString(), Sred_flag->isChecked(),
                                              SKO_Flag->isChecked(), o)) {
        if (refused->settings)
            env_.dialogs->Error(this, QCoreApplication::applicationName(), Q(refused->message));
        else
            Message(Q(refused->message));
        return;
    }

    // 9. The optimiser's thread, one step above normal priority.
    GenThread = new TGenThread(*this, St, genFlags_, o);
    connect(GenThread, &QThread::finished, this, &TForm1::ThreadTerminated, Qt::QueuedConnection);
    GenThread->start(QThread::HighPriority);
    ThreadStarted();
}

void TForm1::StopBtnClick() { genFlags_.FlagStop = true; }

void TForm1::btnCopyBestClick() { genFlags_.FlagCopyBest = true; }

void TForm1::ThreadStarted() {
    SetRunInProgress(true);
    ToolBRunGenOptim->setEnabled(false);
    Edit3->setEnabled(false);
}

void TForm1::ThreadTerminated() {
    TGenThread* t = GenThread;
    if (!t) return;
    // Execute has returned: only the thread's own exit is left, so this wait is short
    // and no blocking call can be pending.
    t->wait();
    genOutcome_ = t->Outcome();
    GenThread = nullptr;
    delete t;
    SetRunInProgress(false);
    ToolBRunGenOptim->setEnabled(true);
    Edit3->setEnabled(true);
    if (genOutcome_.end == rel::GenEnd::NotStarted && !genOutcome_.error.empty()) Message(Q(genOutcome_.error));
}

void TForm1::EndGenRun() {
    if (!GenThread) return;
    GenThread->requestInterruption();
    // Never QThread::wait() here: the optimiser may be waiting in a blocking call
    // onto this thread. Its calls and finally ThreadTerminated are served until the
    // thread is gone; the user's clicks and keys wait meanwhile.
    while (GenThread)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
}

void TForm1::Button2Click() {
    auto* view = new TLNview(*env_.dialogs);
    LNview = view;
    connect(view, &TLNview::Closing, this, [this] { show(); });
    hide();
    view->show();
    view->Fill(St);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (closingDuringRun_) {
        // Asked again while a run is ending: the first request closes the window.
        event->ignore();
        return;
    }
    if (GenThread && GenThread->ServingCall()) {
        // Inside one of the optimiser's blocking calls the run cannot end: it waits
        // for this very call. Close again as soon as the call has returned.
        GenThread->requestInterruption();
        event->ignore();
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    QApplication::beep();
    // A run under way ends first; it shows no results any more. The optimiser ends
    // at the end of its generation, and the window closes once its thread has ended.
    closingDuringRun_ = true;
    if (calcRun_) calcRun_->FinishForClose();
    EndGenRun();
    closingDuringRun_ = false;
    event->accept();
    emit Closed();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took presses the default button "Путь".
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        OpenFileStart->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace relan
