// The log-log chart of accumulated failures: the failure points (ln t, ln N) and
// the least-squares straight line through them, on axes labelled with the
// logarithms' values. Used small on the main window and large in the expanded view.
#pragma once

#include <QChartView>
#include <utility>
#include <vector>

class QChart;
class QLineSeries;
class QValueAxis;

namespace relan {

class ChartExplorer;

using Points = std::vector<std::pair<double, double>>;

class LnChart : public QChartView {
    Q_OBJECT
public:
    // `large`: the expanded view's bigger title and point marks.
    explicit LnChart(bool large, QWidget* parent = nullptr);

    // Replaces the points of both series and fits the axes to them, at round tick
    // values: the bottom axis to the points, the left axis from 0 to the highest point.
    void SetPoints(const Points& failures, const Points& line);

    QChart* Chart() const { return chart_; }
    QLineSeries* Series1() const { return series1_; }
    QLineSeries* Series2() const { return series2_; }
    QValueAxis* AxisBottom() const { return axisX_; }
    QValueAxis* AxisLeft() const { return axisY_; }
    // Tooltips, zoom and the chart's context menu.
    ChartExplorer* Explorer() const { return explorer_; }

signals:
    void Resized();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QChart* chart_;
    QLineSeries* series1_;
    QLineSeries* series2_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    ChartExplorer* explorer_;
};

}  // namespace relan
