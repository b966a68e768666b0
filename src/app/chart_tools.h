// Working with a chart on the screen: the series and values of the point under the
// pointer as a tooltip, zoom with the wheel and move with the mouse held down (a
// double click, or "Исходный масштаб", shows the whole chart again), and a context
// menu that copies the chart as an image or saves it as PNG or SVG. The results
// window's charts and the log-log chart (small and expanded) carry one each.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <functional>

class QAbstractSeries;
class QAction;
class QChartView;
class QImage;
class QMenu;
class QWidget;

namespace relan {

class Dialogs;

class ChartExplorer : public QObject {
    Q_OBJECT
public:
    // How a point's position along a category axis reads in the tooltip (the
    // results charts: the end time of the interval at that position).
    using CategoryText = std::function<QString(double x)>;

    // A further line of a point's tooltip (the log-log chart: the time and the
    // count the logarithms stand for); empty: none.
    using PointNote = std::function<QString(const QAbstractSeries* series, const QPointF& point)>;

    explicit ChartExplorer(QChartView* view, CategoryText categoryText = {});

    void SetPointNote(PointNote note) { pointNote_ = std::move(note); }

    // The dialogs the save actions ask through; without them they do nothing.
    void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

    // The tooltip for the pointer at `pos` (the view's coordinates): the series'
    // name and the point's values on the axes' titles; empty when no point or bar
    // is under the pointer.
    QString TipAt(const QPoint& pos) const;
    // Zoom by `factor` (above 1: closer) keeping the chart's value at `pos` in place.
    void ZoomAt(const QPoint& pos, double factor);
    // Moves the view's range by a drag of `pixels`.
    void Pan(const QPoint& pixels);
    // The whole chart again, as drawn.
    void ResetZoom();

    // The chart as an image at twice the screen's pixels, on white.
    QImage Image() const;
    // The chart as an SVG drawing (texts and lines as vectors) or a PNG image in
    // `file`; false with the reason in `why`.
    bool SaveSvg(const QString& file, QString& why) const;
    bool SavePng(const QString& file, QString& why) const;

    // The context menu; its actions have object names for tests.
    QMenu* Menu() const { return menu_; }

signals:
    // The chart's visible range has changed (zoom, move or reset).
    void ViewChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SaveAs(bool svg);
    QString PlainTitle() const;

    QChartView* view_;
    QWidget* viewport_;
    CategoryText categoryText_;
    PointNote pointNote_;
    Dialogs* dialogs_ = nullptr;
    QMenu* menu_;
    bool dragging_ = false;
    QPoint last_;
};

}  // namespace relan
