// One chart of the results window: its axes made once and kept across outputs,
// the series of each output drawn in the order the results output gives, the
// bottom axis labelled with the interval end times, value marks beside points, a
// wrapping legend, and the title and axis titles fitted to the chart's size. The
// window shows three of them.
#pragma once

#include <QChartView>
#include <QPointF>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

class QCategoryAxis;
class QGraphicsSimpleTextItem;
class QValueAxis;
class QXYSeries;

namespace rel {
struct ChartContent;
}

namespace relan {

class ChartExplorer;
class WrapLegend;

class ResultsChart : public QChartView {
    Q_OBJECT
public:
    // The axes' titles; an empty `top`: no top axis.
    struct AxisTitles {
        QString bottom, left, right, top;
        bool rightFixed = false;  // the right axis shows 0..100 whatever the data
    };

    // `title` may hold several lines separated by '\n'; a bold title is larger.
    ResultsChart(const char* name, const QString& title, bool boldTitle, const AxisTitles& axes,
                 QWidget* parent = nullptr);
    ~ResultsChart() override;

    // Replaces every series of the previous output by those of `content`.
    void Draw(const rel::ChartContent& content);

    // Tooltips, zoom and the chart's context menu.
    ChartExplorer* Explorer() const { return explorer_; }

private:
    // Value marks drawn beside the points of a series.
    struct Marks {
        QXYSeries* series = nullptr;
        std::vector<std::pair<QPointF, QGraphicsSimpleTextItem*>> items;
    };

    void PlaceLabels();
    void PlaceMarks();
    void FitTitle();
    void FitAxisTitles();

    QCategoryAxis* bottom_ = nullptr;
    QValueAxis* left_ = nullptr;
    QValueAxis* right_ = nullptr;
    QValueAxis* top_ = nullptr;
    bool rightFixed_ = false;
    // The bottom axis labels: the interval end times, every one of them where they
    // fit, otherwise every second, third, ... one.
    QStringList labels_;
    int labelStep_ = 0;                     // 0: not placed yet
    int labelFirst_ = -1, labelLast_ = -1;  // the intervals in view when placed
    std::vector<Marks> marks_;
    std::unique_ptr<WrapLegend> legend_;
    ChartExplorer* explorer_ = nullptr;
    QString plainTitle_;  // the title as written, lines separated by '\n'
    int titlePixels_;     // the title's designed size
};

}  // namespace relan
