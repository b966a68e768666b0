// The results window: title line, results table and three charts. It exists from
// start-up to exit, hidden until a results output shows it.
//
// The window draws what the core's results output computed (rel::ResultsContent):
// the title, the table texts, and every series of the three charts in the order
// the output gives. It computes nothing of its own.
#pragma once

#include <QBrush>
#include <QPen>
#include <QPointF>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <utility>
#include <vector>

class QCategoryAxis;
class QChart;
class QChartView;
class QGraphicsItem;
class QGraphicsSimpleTextItem;
class QLabel;
class QPainter;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QValueAxis;
class QXYSeries;

namespace rel {
struct ChartContent;
struct ResultsContent;
struct ResultsTable;
}  // namespace rel

namespace relan {

class Dialogs;

// Size of the window's content as designed, in pixels. A smaller window scales the
// charts down to the minimum size of the content and scrolls below that.
inline constexpr int kForm5DesignWidth = 1803;
inline constexpr int kForm5DesignHeight = 1119;
// Margins of the report page (landscape A4), millimetres.
inline constexpr double kReportMarginMm = 8.0;

class TForm5 : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` is shown again when this window is hidden or closed.
    TForm5(QWidget* mainWindow, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm5() override;

    // The results output: draws `content` and shows the window.
    void ShowResults(const rel::ResultsContent& content);
    // Draws `content` without showing the window.
    void Fill(const rel::ResultsContent& content);

    void Button1Click();      // "Печать"
    void ProdolgenieClick();  // "Продолж."

    // Text of a cell of Result_Grid; row 0 is the fixed header row.
    QString CellText(int col, int row) const;

    // Draws the title line, the table and the three charts into `target`, laid out
    // as on the window and scaled with their proportions kept: charts and texts as
    // vectors (a PDF keeps them sharp and searchable).
    void PaintSheet(QPainter& painter, const QRectF& target) const;

    // Writes PaintSheet onto one landscape A4 page of a PDF file. False with the
    // reason in `why` when the file cannot be written.
    bool WriteReportPdf(const QString& file, QString& why) const;

    QChartView* Chart3;
    QLabel* Label10;
    QTableWidget* Result_Grid;
    QPushButton* Button1;
    QPushButton* Prodolgenie;
    QChartView* Chart1;
    QChartView* Chart2;

    // Everything the window shows, inside the scroll area of the window.
    QWidget* Sheet;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The axes of one chart: made once, kept across outputs.
    struct Axes {
        QCategoryAxis* bottom = nullptr;
        QValueAxis* left = nullptr;
        QValueAxis* right = nullptr;
        QValueAxis* top = nullptr;  // Chart3 only
        bool rightFixed = false;    // Chart2: 0..100 whatever the data
    };
    // The bottom axis labels of a chart: the interval end times, every one of them
    // where they fit, otherwise every second, third, ... one.
    struct Labels {
        QChart* chart = nullptr;
        QCategoryAxis* axis = nullptr;
        QStringList texts;
        int step = 0;  // 0: not placed yet
    };
    // A legend that wraps into as many rows as its entries need, drawn below the
    // plot inside the chart (the toolkit's own legend keeps to one row and cuts
    // the texts short).
    struct LegendEntry {
        QString text;
        QPen pen;
        QBrush brush;
        bool line = false;  // drawn as a short line, else as a filled box
    };
    struct Legend {
        QChart* chart = nullptr;
        bool visible = false;
        std::vector<LegendEntry> entries;
        std::vector<QGraphicsItem*> items;
        int width = -1;  // chart width the entries were laid out for
    };
    // Value marks drawn beside the points of a series (Series17).
    struct Marks {
        QChart* chart = nullptr;
        QXYSeries* series = nullptr;
        std::vector<std::pair<QPointF, QGraphicsSimpleTextItem*>> items;
    };

    void DrawTable(const rel::ResultsTable& table);
    void DrawChart(QChartView* view, Axes& axes, Labels& labels, Legend& legend,
                   const rel::ChartContent& content);
    void PlaceMarks();
    void FitChartTitle(QChart* chart);
    void FitAxisTitles(QChart* chart);
    void PlaceLabels(Labels& labels);
    void BuildLegend(Legend& legend);
    void PlaceLegend(Legend& legend);
    void FitTitle();
    void PlaceOnScreen();
    void PaintTable(QPainter& painter, const QRect& rect) const;

    QPointer<QWidget> mainWindow_;
    Dialogs& dialogs_;
    QScrollArea* scroll_ = nullptr;
    Axes axes1_, axes2_, axes3_;
    std::vector<Marks> marks_;
    Labels labels1_, labels2_, labels3_;
    Legend legend1_, legend2_, legend3_;
    QString title_;
    bool placed_ = false;
};

}  // namespace relan
