// The expanded view of the log-log accumulation chart: the same picture large,
// with the line's slope and intercept and, above the chart, the data title; it can
// be printed, resized and maximised (the chart follows). Made afresh at every
// press of "Expand" and destroyed when closed.
#pragma once

#include <QWidget>

#include "data/state.h"

class QLabel;
class QPushButton;

namespace relan {

class Dialogs;
class LnChart;

class TLNview : public QWidget {
    Q_OBJECT
public:
    explicit TLNview(Dialogs& dialogs, QWidget* parent = nullptr);

    // Draws the failures with positive time and the line A_LN, B_LN of `st`.
    void Fill(const rel::AnalysisState& st);

    void Button2Click();      // "Печать"
    void ProdolgenieClick();  // "Продолж."

signals:
    // The view is closing; the main window shows itself again.
    void Closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void PlaceOverlays();

    Dialogs& dialogs_;
    LnChart* Chart2;
    QPushButton* Button2;
    QPushButton* Prodolgenie;
    QLabel* Label3;
    QLabel* Label1;
    QLabel* Label2;
};

}  // namespace relan
