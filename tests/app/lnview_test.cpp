// The expanded view of the log-log chart: made afresh at every "Expand", drawn
// from the loaded failures, main window hidden while it is open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QValueAxis>
#include <QChart>
#include <cmath>

#include "fake_dialogs.h"
#include "form1.h"
#include "lnchart.h"
#include "lnview.h"
#include "text/format.h"
#include "captions.h"

namespace relan::test {
namespace {

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(ExpandedView, ShowsEveryPositiveFailureTheLineAndItsCoefficients) {
    Window w;
    TForm1& f = *w.form;
    f.show();
    w.Path(Fixture("app/tiny.txt"));
    f.Button2Click();

    TLNview* v = f.ExpandedView();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->isVisible());
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(v->windowTitle(),
              QStringLiteral("Анализ закона распределения отказов. Анализ надежности в эксплуатации.") +
                  VersionNotice());
    EXPECT_EQ(v->size(), QSize(838, 546));
    EXPECT_EQ(Ctl<QLabel>(*v, "Label3")->text(), QStringLiteral("Парк проверки окна"));
    EXPECT_EQ(Ctl<QPushButton>(*v, "Button2")->text(), QStringLiteral("Печать"));
    EXPECT_EQ(Ctl<QPushButton>(*v, "Prodolgenie")->text(), QStringLiteral("Продолж."));
    EXPECT_EQ(Ctl<LnChart>(*v, "Chart2")->Chart()->title(),
              QStringLiteral("Накопленние отказов по времени наблюдения"));

    // Failures at 0, 0.5, 10 and 100 h: the one at 0 h is left out but still
    // counts for the positions of the others.
    const QList<QPointF> pts = Ctl<LnChart>(*v, "Chart2")->Series1()->points();
    ASSERT_EQ(pts.size(), 3);
    const double xs[] = {std::log(0.50001), std::log(10.00001), std::log(100.00001)};
    const double ys[] = {std::log(2.0), std::log(3.0), std::log(4.0)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(pts[i].x(), xs[i]);
        EXPECT_DOUBLE_EQ(pts[i].y(), ys[i]);
    }
    const double a = f.State().A_LN, b = f.State().B_LN;
    const QList<QPointF> line = Ctl<LnChart>(*v, "Chart2")->Series2()->points();
    ASSERT_EQ(line.size(), 2);
    EXPECT_DOUBLE_EQ(line[0].x(), xs[0]);
    EXPECT_DOUBLE_EQ(line[0].y(), a * xs[0] + b);
    EXPECT_DOUBLE_EQ(line[1].x(), xs[2]);
    EXPECT_DOUBLE_EQ(line[1].y(), a * xs[2] + b);
    EXPECT_EQ(Ctl<LnChart>(*v, "Chart2")->AxisLeft()->min(), 0.0);

    const QString aText = QString::fromStdString(rel::FormatFixed(a, 6, 4, ','));
    EXPECT_EQ(Ctl<QLabel>(*v, "Label1")->text(), QStringLiteral("A= ") + aText);
    EXPECT_EQ(Ctl<QLabel>(*v, "Label2")->text(),
              QStringLiteral("B= ") + QString::fromStdString(rel::FormatFixed(b, 6, 4, ',')));
    EXPECT_TRUE(aText.contains(QLatin1Char(',')));

    // "Продолж." destroys the view and brings the main window back.
    QPointer<TLNview> guard(v);
    Ctl<QPushButton>(*v, "Prodolgenie")->click();
    DeleteClosedWindows();
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(f.ExpandedView(), nullptr);
    EXPECT_TRUE(f.isVisible());
}

TEST(ExpandedView, AxesShowTheirNumbersTheTitleStaysOffThePlotAndTheChartFollowsTheWindow) {
    Window w;
    TForm1& f = *w.form;
    f.show();
    w.Path(Fixture("app/tiny.txt"));
    // The small chart of the main window shows the numbers too.
    for (QValueAxis* a : {Ctl<LnChart>(f, "Chart2")->AxisBottom(), Ctl<LnChart>(f, "Chart2")->AxisLeft()}) {
        EXPECT_TRUE(a->labelsVisible());
        EXPECT_TRUE(a->isTitleVisible());
    }
    f.Button2Click();
    TLNview* v = f.ExpandedView();
    ASSERT_NE(v, nullptr);
    QCoreApplication::processEvents();
    LnChart* chart = Ctl<LnChart>(*v, "Chart2");
    for (QValueAxis* a : {chart->AxisBottom(), chart->AxisLeft()}) {
        EXPECT_TRUE(a->labelsVisible());
        EXPECT_TRUE(a->isTitleVisible());
        EXPECT_FALSE(a->titleText().isEmpty());
    }
    auto plotInView = [v, chart] {
        const QRectF plot = chart->Chart()->plotArea();
        const QPoint tl = chart->mapTo(v, chart->mapFromScene(chart->Chart()->mapToScene(plot.topLeft())));
        const QPoint br = chart->mapTo(v, chart->mapFromScene(chart->Chart()->mapToScene(plot.bottomRight())));
        return QRect(tl, br);
    };
    const QLabel* title = Ctl<QLabel>(*v, "Label3");
    EXPECT_FALSE(QRect(title->mapTo(v, QPoint(0, 0)), title->size()).intersects(plotInView()));
    // The coefficients stay inside the plot.
    const QLabel* a = Ctl<QLabel>(*v, "Label1");
    EXPECT_TRUE(plotInView().contains(QRect(a->mapTo(v, QPoint(0, 0)), a->size())));

    // Resizable, the chart following the window.
    EXPECT_LT(v->minimumWidth(), 838);
    EXPECT_GT(v->maximumWidth(), 1600);
    EXPECT_TRUE(v->windowFlags() & Qt::WindowMaximizeButtonHint);
    const int before = chart->width();
    v->resize(1600, 1000);
    QCoreApplication::processEvents();
    EXPECT_GT(chart->width(), before + 700);
    EXPECT_GT(chart->height(), 900);
    EXPECT_TRUE(plotInView().contains(QRect(a->mapTo(v, QPoint(0, 0)), a->size())));
    v->close();
    DeleteClosedWindows();
}

TEST(ExpandedView, ManyFailuresAreDrawnWithThePointsTheScreenCanTellApart) {
    // A failure every 0.01 h up to 3000 h: 300,000 points on the log-log chart.
    FakeDialogs dialogs;
    rel::AnalysisState st;
    const std::size_t n = 300000;
    st.ArrProblems.reserve(n);
    for (std::size_t i = 0; i < n; ++i) st.ArrProblems.Append(0.01 * static_cast<double>(i + 1), 1, "", "");
    TLNview v(dialogs);
    v.setAttribute(Qt::WA_DeleteOnClose, false);
    v.Fill(st);
    const QList<QPointF> pts = Ctl<LnChart>(v, "Chart2")->Series1()->points();
    // At most two points per cell of a 4096 x 4096 grid along a rising curve.
    EXPECT_LE(pts.size(), 2 * 4096 + 1);
    EXPECT_GT(pts.size(), 1000);
    // The first and the last failure are drawn where they are; every point kept is a failure's.
    EXPECT_DOUBLE_EQ(pts.front().x(), std::log(0.01 + 0.00001));
    EXPECT_DOUBLE_EQ(pts.front().y(), 0.0);
    EXPECT_DOUBLE_EQ(pts.back().x(), std::log(3000.0 + 0.00001));
    EXPECT_DOUBLE_EQ(pts.back().y(), std::log(static_cast<double>(n)));
    for (qsizetype i = 1; i < pts.size(); ++i) {
        const double k = std::round(std::exp(pts[i].y()));
        EXPECT_NEAR(pts[i].x(), std::log(0.01 * k + 0.00001), 1e-9) << i;
    }
}

TEST(ExpandedView, EveryPressMakesAFreshWindowFromTheDataOfThatMoment) {
    Window w;
    TForm1& f = *w.form;
    f.show();
    w.Path(Fixture("app/tiny.txt"));
    f.Button2Click();
    QPointer<TLNview> first(f.ExpandedView());
    ASSERT_FALSE(first.isNull());
    first->close();  // closed by the user
    DeleteClosedWindows();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(f.isVisible());

    w.dialogs.askAnswer = true;  // load the good rows of the file with misprints
    w.Path(Fixture("app/bad-rows.txt"));
    f.Button2Click();
    TLNview* second = f.ExpandedView();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Ctl<QLabel>(*second, "Label3")->text(), QStringLiteral("Парк с опечатками"));
    // bad-rows: 12 and 250 h (two misprinted rows left out).
    const QList<QPointF> pts = Ctl<LnChart>(*second, "Chart2")->Series1()->points();
    ASSERT_EQ(pts.size(), 2);
    EXPECT_DOUBLE_EQ(pts[0].x(), std::log(12.00001));
    EXPECT_DOUBLE_EQ(pts[0].y(), 0.0);  // the first failure: ln 1
    EXPECT_DOUBLE_EQ(pts[1].x(), std::log(250.00001));
    EXPECT_DOUBLE_EQ(pts[1].y(), std::log(2.0));
    second->close();
    DeleteClosedWindows();
}

TEST(ExpandedView, CoefficientTextsUseSixFourFixedWithTheLocaleSeparator) {
    FakeDialogs dialogs;
    struct Case {
        double a, b;
        const char* la;
        const char* lb;
    };
    const Case cases[] = {
        {1.23456789, -2.0, "A= 1,2346", "B= -2,0000"},
        {0.5, 12.25, "A= 0,5000", "B= 12,2500"},
        {10.0, 123.45678, "A= 10,0000", "B= 123,4568"},
    };
    for (const Case& c : cases) {
        rel::AnalysisState st;
        st.ArrProblems = {{5.0, 1, "", ""}, {50.0, 1, "", ""}, {500.0, 1, "", ""}};
        st.A_LN = c.a;
        st.B_LN = c.b;
        TLNview v(dialogs);
        v.setAttribute(Qt::WA_DeleteOnClose, false);
        v.Fill(st);
        EXPECT_EQ(Ctl<QLabel>(v, "Label1")->text(), QString::fromUtf8(c.la));
        EXPECT_EQ(Ctl<QLabel>(v, "Label2")->text(), QString::fromUtf8(c.lb));
    }
}

TEST(ExpandedView, WithoutDataTheChartIsEmptyAndNoCoefficientIsShown) {
    Window w;
    TForm1& f = *w.form;
    f.show();
    f.Button2Click();
    TLNview* v = f.ExpandedView();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(Ctl<LnChart>(*v, "Chart2")->Series1()->points().isEmpty());
    EXPECT_TRUE(Ctl<LnChart>(*v, "Chart2")->Series2()->points().isEmpty());
    EXPECT_EQ(Ctl<QLabel>(*v, "Label1")->text(), QStringLiteral("A= "));
    EXPECT_EQ(Ctl<QLabel>(*v, "Label2")->text(), QStringLiteral("B= "));
    EXPECT_TRUE(w.dialogs.messages.isEmpty());

    // A single failure at 1 h or more defines no line either.
    v->close();
    DeleteClosedWindows();
    rel::AnalysisState& st = f.State();
    st.ArrProblems = {{0.0, 0, "Брак", ""}, {40.0, 1, "Другие", ""}};
    st.A_LN = 0.0;
    st.B_LN = 0.0;
    f.Button2Click();
    v = f.ExpandedView();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(Ctl<LnChart>(*v, "Chart2")->Series1()->points().size(), 1);
    EXPECT_TRUE(Ctl<LnChart>(*v, "Chart2")->Series2()->points().isEmpty());
    EXPECT_EQ(Ctl<QLabel>(*v, "Label1")->text(), QStringLiteral("A= "));
    v->close();
    DeleteClosedWindows();
}

}  // namespace
}  // namespace relan::test
