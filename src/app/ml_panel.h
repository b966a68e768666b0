// The results window's panel of model 3 (maximum likelihood): its estimates with
// their 95 % intervals, the goodness-of-fit verdict and the notes on what the data
// leave open. Shown only when model 3 is among the results.
#pragma once

#include <QFrame>
#include <optional>

class QChartView;
class QGridLayout;
class QLabel;

namespace rel {
struct MlSummary;
struct ForecastSummary;
}

namespace relan {

class ChartExplorer;

class MlPanel : public QFrame {
    Q_OBJECT
public:
    explicit MlPanel(QWidget* parent = nullptr);

    // Shows the summary's texts, or hides the panel when there is none.
    void Show(const std::optional<rel::MlSummary>& summary);

    // The texts as shown: each row's label, estimate and interval.
    int RowCount() const { return rows_; }
    QString Cell(int row, int column) const;

    // A fleet in service: the forecast's month rows as shown (month, the month's claims
    // with their interval, the cumulative claims with theirs), and its chart of claims a month with the band of
    // the 95 % predictive intervals (tooltips, zoom, copy and save like the other charts).
    int ForecastRowCount() const { return forecastRows_; }
    QString ForecastCell(int row, int column) const;
    QChartView* ForecastChart() const { return forecastView_; }
    ChartExplorer* ForecastExplorer() const { return forecastExplorer_; }

private:
    void ShowForecast(const std::optional<rel::ForecastSummary>& forecast);
    QGridLayout* grid_;
    QLabel* title_;
    QLabel* verdict_;
    QLabel* notes_;
    int rows_ = 0;
    QLabel* forecastTitle_;
    QLabel* forecastRemaining_;
    QGridLayout* forecastGrid_;
    QChartView* forecastView_;
    ChartExplorer* forecastExplorer_;
    int forecastRows_ = 0;
};

}  // namespace relan
