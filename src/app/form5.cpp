#include "form5.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "printing.h"
#include "version.h"

namespace relan {

namespace {

QChartView* MakeChart(const char* name, const QString& title, bool boldTitle) {
    auto* chart = new QChart;
    chart->setBackgroundBrush(Qt::white);
    chart->setTitle(title);
    QFont f = chart->titleFont();
    f.setBold(boldTitle);
    chart->setTitleFont(f);
    chart->setTitleBrush(Qt::black);
    auto* view = new QChartView(chart);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

}  // namespace

TForm5::TForm5(QWidget* mainWindow, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), mainWindow_(mainWindow), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Количественный анализ закона распределения отказов. Анализ надежности в "
                                  "эксплуатации.") +
                   VersionNotice());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    Chart3 = MakeChart("Chart3",
                       QStringLiteral("Отказы - факт и с коррекцией по выбыванию из гарантии, Ln количества\n"
                                      "Если поток снижается, параметры гарантийного срока завышены "),
                       false);
    Chart1 = MakeChart("Chart1", QStringLiteral("Изменение потока отказов в течение гарантийного периода"), true);
    Chart2 = MakeChart("Chart2", QStringLiteral("Интегральные (накопленные) оценки потока отказов"), true);
    Chart2->chart()->legend()->hide();
    Chart3->chart()->legend()->hide();
    Chart1->chart()->legend()->setAlignment(Qt::AlignBottom);

    Label10 = new QLabel(this);
    Label10->setObjectName(QStringLiteral("Label10"));
    QFont tf;
    tf.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("DejaVu Sans")});
    tf.setPixelSize(24);
    tf.setBold(true);
    Label10->setFont(tf);

    Button1 = new QPushButton(QStringLiteral("Печать"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Prodolgenie = new QPushButton(QStringLiteral("Продолж."), this);
    Prodolgenie->setObjectName(QStringLiteral("Prodolgenie"));
    for (QPushButton* b : {Button1, Prodolgenie}) b->setMinimumSize(90, 34);

    // Header row plus 11 rows, 6 columns.
    Result_Grid = new QTableWidget(11, 6, this);
    Result_Grid->setObjectName(QStringLiteral("Result_Grid"));
    Result_Grid->verticalHeader()->hide();
    Result_Grid->horizontalHeader()->setDefaultSectionSize(237);
    Result_Grid->verticalHeader()->setDefaultSectionSize(28);
    Result_Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int c = 0; c < 6; ++c) Result_Grid->setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));

    // Upper band: the Ln chart, then the title, the buttons and the table;
    // lower band: the failure flow and the accumulated failures.
    auto* head = new QHBoxLayout;
    head->addWidget(Label10, 1);
    head->addWidget(Button1);
    head->addWidget(Prodolgenie);
    auto* right = new QVBoxLayout;
    right->addLayout(head);
    right->addWidget(Result_Grid, 1);
    auto* upper = new QHBoxLayout;
    upper->addWidget(Chart3, 782);
    upper->addLayout(right, 1102);
    auto* lower = new QHBoxLayout;
    lower->addWidget(Chart1, 1298);
    lower->addWidget(Chart2, 595);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(2, 2, 2, 2);
    all->addLayout(upper, 390);
    all->addLayout(lower, 716);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Prodolgenie, &QPushButton::clicked, this, [this] { ProdolgenieClick(); });
}

void TForm5::Button1Click() {
    // Nothing is printed when the set-up dialog is cancelled.
    PrintWindow(this, dialogs_, false, QStringLiteral("Результаты анализа.pdf"));
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

}  // namespace relan
