// The results window's panel of model 3 (maximum likelihood): its estimates with
// their 95 % intervals, the goodness-of-fit verdict and the notes on what the data
// leave open. Shown only when model 3 is among the results.
#pragma once

#include <QFrame>
#include <optional>

class QGridLayout;
class QLabel;

namespace rel {
struct MlSummary;
}

namespace relan {

class MlPanel : public QFrame {
    Q_OBJECT
public:
    explicit MlPanel(QWidget* parent = nullptr);

    // Shows the summary's texts, or hides the panel when there is none.
    void Show(const std::optional<rel::MlSummary>& summary);

    // The texts as shown: each row's label, estimate and interval.
    int RowCount() const { return rows_; }
    QString Cell(int row, int column) const;

private:
    QGridLayout* grid_;
    QLabel* title_;
    QLabel* verdict_;
    QLabel* notes_;
    int rows_ = 0;
};

}  // namespace relan
