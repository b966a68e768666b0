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
struct CausesSummary;
}  // namespace rel

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

    // Model 3 per cause: a row a cause as shown (the cause with its failures, its shape
    // with the interval, N(4000) with the interval, its expected claims per product within
    // warranty with the interval and its share), the test's verdict, and a chart of the
    // expected claims per product by cause (bars, largest first, with their intervals).
    int CausesRowCount() const { return causesRows_; }
    QString CausesCell(int row, int column) const;
    QString CausesVerdict() const;
    QChartView* CausesChart() const { return causesView_; }

private:
    void ShowForecast(const std::optional<rel::ForecastSummary>& forecast);
    void ShowCauses(const std::optional<rel::CausesSummary>& causes);
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
    QLabel* causesTitle_;
    QGridLayout* causesGrid_;
    QLabel* causesVerdict_;
    QLabel* causesNotes_;
    QChartView* causesView_;
    ChartExplorer* causesExplorer_;
    int causesRows_ = 0;
};

}  // namespace relan
