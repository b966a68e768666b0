// The two option pages of the main window: the fits of "Расчет" and the genetic
// optimiser.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

#include "form1_makers.h"
#include "form1_ui.h"
#include "numbers.h"
#include "probability_bar.h"
#include "wrap_button.h"

namespace relan {

QWidget* Form1Ui::BuildTabSheet1(const QMainWindow* window) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* g = new QGridLayout(page);
    g->setContentsMargins(8, 6, 8, 6);
    g->setVerticalSpacing(3);
    const int fieldWidth = window->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 12;
    int row = 0;

    Label4 = MakeLabel(page, "Label4", tr("Параметры оптимизации"));
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    g->addWidget(Label4, row++, 0, 1, 2);

    const QString hint = tr("Минимум попадпний в столбец гистограммы");
    auto addEdit = [&](QLabel*& label, const char* labelName, const QString& caption, QLineEdit*& edit,
                       const char* name, bool withHint, const rel::defaults::Decimal& coef) {
        label = MakeLabel(page, labelName, caption, true);
        edit = MakeEdit(page, name, DecimalText(coef));
        edit->setFixedWidth(fieldWidth);
        if (withHint) edit->setPlaceholderText(hint);
        label->setBuddy(edit);
        g->addWidget(label, row, 0);
        g->addWidget(edit, row++, 1);
    };
    addEdit(Label5, "Label5", tr("Коэф-т уменьшения шага модели 1.1"), Edit1, "Edit1", true,
            rel::defaults::kStepCoef11);
    addEdit(Label17, "Label17", tr("Коэф-т уменьшения шага модели 1.2"), Edit6, "Edit6", true,
            rel::defaults::kStepCoef12);
    // Model 2's field shows the coefficient of models 1.1 and 1.2 until a data file's
    // load puts model 2's own into it, as the window has always started.
    addEdit(Label16, "Label16", tr("Коэф-т уменьшения шага модели 2"), Edit5, "Edit5", false,
            rel::defaults::kStepCoef12);

    bbRaschet = new QPushButton(window->style()->standardIcon(QStyle::SP_MediaPlay), tr("Расчет"), page);
    bbRaschet->setObjectName(QStringLiteral("bbRaschet"));
    bbRaschet->setMinimumHeight(30);
    QFont bf = bbRaschet->font();
    bf.setBold(true);
    bbRaschet->setFont(bf);
    g->addWidget(bbRaschet, row++, 0, 1, 2);

    // While "Расчет" runs: a busy bar and the time the run has taken so far.
    ProgressBar1 = new QProgressBar(page);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(window->fontMetrics().height() + 4);
    LabelElapsed = MakeLabel(page, "LabelElapsed", QString());
    LabelElapsed->setToolTip(tr("Время расчета (ч:мин:с)"));
    // "Стоп" ends model 3's goodness-of-fit bootstrap with the replicates done.
    StopCalcBtn = new QPushButton(tr("Стоп"), page);
    StopCalcBtn->setObjectName(QStringLiteral("StopCalcBtn"));
    StopCalcBtn->setToolTip(tr("Закончить проверку согласия модели 3 (бутстреп) с уже сделанными повторами"));
    StopCalcBtn->setEnabled(false);
    auto* elapsedRow = new QHBoxLayout;
    elapsedRow->addWidget(LabelElapsed, 1);
    elapsedRow->addWidget(StopCalcBtn);
    g->addWidget(ProgressBar1, row, 0);
    g->addLayout(elapsedRow, row++, 1);

    SpirSpusk = MakeCheck(page, "SpirSpusk", tr("Модель 1.1 по Пирсону, метод спирального спуска "),
                          rel::defaults::kModel11);
    BoxNewton = MakeCheck(page, "BoxNewton", tr("Модель 1.2 по Пирсону, метод Ньютона "), rel::defaults::kModel12);
    BoxSmirnow = MakeCheck(page, "BoxSmirnow", tr("Модель 2 (по Смирнову)"), rel::defaults::kModel2);
    BoxML = MakeCheck(page, "BoxML", tr("Модель 3 (макс. правдоподобия)"), rel::defaults::kModel3);
    BoxML->setToolTip(tr("Подбор по отдельным отказам с 95% доверительными интервалами и проверкой согласия"));
    Sred_flag = MakeCheck(page, "Sred_flag", tr("Подбор СВН (мет.1)"), false);
    SKO_Flag = MakeCheck(page, "SKO_Flag", tr("Подбор СКО (мет.1)"), false);
    for (QCheckBox* c : {SpirSpusk, BoxNewton, BoxSmirnow, BoxML}) g->addWidget(c, row++, 0, 1, 2);
    auto* flags = new QHBoxLayout;
    flags->addWidget(Sred_flag);
    flags->addWidget(SKO_Flag);
    flags->addStretch(1);
    g->addLayout(flags, row++, 0, 1, 2);

    RadioGroup1 = new QGroupBox(tr("Способ подбора параметров"), page);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    auto* rl = new QVBoxLayout(RadioGroup1);
    rl->setContentsMargins(8, 2, 8, 4);
    rl->setSpacing(1);
    const QString items[] = {tr("Специальный 1 "), tr("Стандарт (default)"), tr("Специальный 2")};
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

QWidget* Form1Ui::BuildTabSheet2(const QMainWindow* window) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* g = new QGridLayout(page);
    g->setContentsMargins(8, 6, 8, 6);
    g->setVerticalSpacing(3);
    const int fieldWidth = window->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 12;
    int row = 0;

    Label19 =
        MakeLabel(page, "Label19", tr("Отображение после основного расчета, для нового файла перегрузить!"), true);
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
    Edit2 = MakeLabeledEdit(page, "Edit2", tr("Точность подбора"), DecimalText(rel::defaults::kPrecision), &l);
    addEdit(Edit2);
    Edit3 = MakeLabeledEdit(page, "Edit3", tr("Размер популяции"),
                            QString::fromLatin1(rel::defaults::kPopulationText), &l);
    addEdit(Edit3);
    NPokoleny = MakeLabeledEdit(page, "NPokoleny", tr("Число поколений"),
                                QString::fromLatin1(rel::defaults::kGenerationsText), &l);
    addEdit(NPokoleny);

    btnCopyBest = new QPushButton(tr("Скопировать лучших"), page);
    btnCopyBest->setObjectName(QStringLiteral("btnCopyBest"));
    LabeledEdit1 =
        MakeLabeledEdit(page, "LabeledEdit1", tr("шт."), QString::fromLatin1(rel::defaults::kCopyCountText), &l);
    LabeledEdit1->setPlaceholderText(tr("Скопировать из популяции лучшие варианты и убрать столько же худших"));
    LabeledEdit1->setToolTip(LabeledEdit1->placeholderText());
    LabeledEdit1->setFixedWidth(window->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    l->setWordWrap(false);
    auto* copyRow = new QHBoxLayout;
    copyRow->addWidget(btnCopyBest);
    copyRow->addWidget(LabeledEdit1);
    copyRow->addWidget(l);
    copyRow->addStretch(1);
    g->addLayout(copyRow, row++, 0, 1, 3);

    // Each probability bar with its value beside it, following the bar whether the
    // user or the optimiser's schedule moves it.
    auto valueLabel = [&](QSlider* bar, const char* name) {
        QLabel* value = MakeLabel(page, name, QString());
        auto show = [value](int pos) { value->setText(QLocale().toString(pos / 100.0, 'f', 2)); };
        show(bar->value());
        QObject::connect(bar, &QSlider::valueChanged, value, show);
        return value;
    };
    Label7 = MakeLabel(page, "Label7", tr("Вероятность скрещивания"));
    TrackBar1 = MakeTrackBar(page, "TrackBar1", 55);
    Label7->setBuddy(TrackBar1);
    TrackBar1Value = valueLabel(TrackBar1, "TrackBar1Value");
    g->addWidget(Label7, row, 0);
    g->addWidget(TrackBar1, row, 1);
    g->addWidget(TrackBar1Value, row++, 2);
    Label8 = MakeLabel(page, "Label8", tr("Вероятность мутаций"));
    TrackBar2 = MakeTrackBar(page, "TrackBar2", 15);
    Label8->setBuddy(TrackBar2);
    TrackBar2Value = valueLabel(TrackBar2, "TrackBar2Value");
    AttachProbabilityHint(TrackBar1, tr("Вероятность скрещивания "));
    AttachProbabilityHint(TrackBar2, tr("Вероятность мутации "));
    g->addWidget(Label8, row, 0);
    g->addWidget(TrackBar2, row, 1);
    g->addWidget(TrackBar2Value, row++, 2);

    ToolBRunGenOptim = new WrapButton(tr("Подбор параметров генетическим алгоритмом"), page);
    ToolBRunGenOptim->setObjectName(QStringLiteral("ToolBRunGenOptim"));
    StopBtn = new QPushButton(tr("Стоп"), page);
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

    Label18 = MakeLabel(page, "Label18", tr("Ход расчета"));
    ProgressBar2 = new QProgressBar(page);
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    ProgressBar2->setRange(0, 100);
    ProgressBar2->setValue(0);
    g->addWidget(Label18, row, 0);
    g->addWidget(ProgressBar2, row++, 1, 1, 2);
    // The optimiser's count of recorded best members: its own label, so that
    // "Число поколений" keeps the number the user set.
    GenCounter = MakeLabel(page, "GenCounter", QString());
    GenCounter->setToolTip(tr("Лучших вариантов записано с последнего копирования"));
    g->addWidget(GenCounter, row++, 1, 1, 2);

    g->setColumnStretch(1, 1);
    g->setRowStretch(row, 1);
    return page;
}

}  // namespace relan
