// The results window: title line, results table and three charts. It exists from
// start-up to exit, hidden until a results output shows it.
#pragma once

#include <QPointer>
#include <QWidget>

class QChart;
class QChartView;
class QLabel;
class QPushButton;
class QTableWidget;

namespace relan {

class Dialogs;

class TForm5 : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` is shown again when this window is hidden or closed.
    TForm5(QWidget* mainWindow, Dialogs& dialogs, QWidget* parent = nullptr);

    void Button1Click();      // "Печать"
    void ProdolgenieClick();  // "Продолж."

    QChartView* Chart3;
    QLabel* Label10;
    QTableWidget* Result_Grid;
    QPushButton* Button1;
    QPushButton* Prodolgenie;
    QChartView* Chart1;
    QChartView* Chart2;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<QWidget> mainWindow_;
    Dialogs& dialogs_;
};

}  // namespace relan
