#include "chart_tools.h"

#include <QAbstractBarSeries>
#include <QAbstractAxis>
#include <QApplication>
#include <QAreaSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineSeries>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>
#include <QXYSeries>
#include <cmath>
#include <limits>

#include "dialogs.h"
#include "file_output.h"

namespace relan {

namespace {

// A point counts as under the pointer within this many pixels.
constexpr double kNearPixels = 8.0;

QString Number(double v) { return QLocale().toString(v, 'g', 6); }

// An axis title as written: the line breaks of a long title undone.
QString AxisTitle(const QAbstractAxis* axis) {
    if (!axis) return {};
    const QVariant plain = axis->property("relanPlainTitle");
    if (plain.isValid() && !plain.toString().isEmpty()) return plain.toString();
    return QTextDocumentFragment::fromHtml(axis->titleText()).toPlainText().simplified();
}

const QAbstractAxis* AxisOf(QAbstractSeries* s, Qt::Orientation o) {
    for (const QAbstractAxis* a : s->attachedAxes())
        if (a->orientation() == o) return a;
    return nullptr;
}

}  // namespace

ChartExplorer::ChartExplorer(QChartView* view, CategoryText categoryText)
    : QObject(view),
      view_(view),
      viewport_(view->viewport()),
      categoryText_(std::move(categoryText)),
      menu_(new QMenu(view)) {
    menu_->setObjectName(QStringLiteral("ChartMenu"));
    auto add = [this](const char* name, const QString& text, auto slot) {
        QAction* a = menu_->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add("actCopyImage", tr("Копировать изображение"), [this] { QApplication::clipboard()->setImage(Image()); });
    add("actSavePng", tr("Сохранить как PNG…"), [this] { SaveAs(false); });
    add("actSaveSvg", tr("Сохранить как SVG…"), [this] { SaveAs(true); });
    menu_->addSeparator();
    add("actResetZoom", tr("Исходный масштаб"), [this] { ResetZoom(); });
    viewport_->setMouseTracking(true);
    viewport_->installEventFilter(this);
}

QString ChartExplorer::TipAt(const QPoint& pos) const {
    QChart* chart = view_->chart();
    const QPointF at = chart->mapFromScene(view_->mapToScene(pos));
    if (!chart->plotArea().adjusted(-kNearPixels, -kNearPixels, kNearPixels, kNearPixels).contains(at)) return {};
    // The nearest point of a line, curve or area; failing that, the bar under the
    // pointer.
    double best = kNearPixels * kNearPixels;
    QAbstractSeries* bestSeries = nullptr;
    QPointF bestPoint;
    for (QAbstractSeries* s : chart->series()) {
        if (!s->isVisible()) continue;
        QList<QPointF> points;
        if (auto* xy = qobject_cast<QXYSeries*>(s)) {
            points = xy->points();
        } else if (auto* area = qobject_cast<QAreaSeries*>(s)) {
            if (area->upperSeries()) points = area->upperSeries()->points();
        } else {
            continue;
        }
        for (const QPointF& p : points) {
            const QPointF px = chart->mapToPosition(p, s);
            const double d = (px.x() - at.x()) * (px.x() - at.x()) + (px.y() - at.y()) * (px.y() - at.y());
            if (d <= best) {
                best = d;
                bestSeries = s;
                bestPoint = p;
            }
        }
    }
    QString name;
    if (bestSeries) {
        name = bestSeries->name();
    } else {
        for (QAbstractSeries* s : chart->series()) {
            auto* bars = qobject_cast<QAbstractBarSeries*>(s);
            if (!bars || !bars->isVisible()) continue;
            const QPointF v = chart->mapToValue(at, s);
            const int i = static_cast<int>(std::lround(v.x()));
            for (const QBarSet* set : bars->barSets()) {
                if (i < 0 || i >= set->count()) continue;
                const double h = set->at(i);
                if (h == 0.0 || v.y() < std::min(0.0, h) || v.y() > std::max(0.0, h)) continue;
                bestSeries = s;
                bestPoint = QPointF(i, h);
                name = set->label();
                break;
            }
            if (bestSeries) break;
        }
    }
    if (!bestSeries) return {};
    if (name.isEmpty()) name = bestSeries->objectName();
    const QAbstractAxis* horizontal = AxisOf(bestSeries, Qt::Horizontal);
    const QAbstractAxis* vertical = AxisOf(bestSeries, Qt::Vertical);
    QString xTitle = AxisTitle(horizontal);
    QString xText = Number(bestPoint.x());
    if (qobject_cast<const QCategoryAxis*>(horizontal) && categoryText_) {
        if (xTitle.isEmpty()) xTitle = tr("Время наработки, час");
        xText = categoryText_(bestPoint.x());
    }
    QString tip = name;
    tip += QLatin1Char('\n') + (xTitle.isEmpty() ? QStringLiteral("x") : xTitle) + QStringLiteral(": ") + xText;
    const QString yTitle = AxisTitle(vertical);
    tip += QLatin1Char('\n') + (yTitle.isEmpty() ? QStringLiteral("y") : yTitle) + QStringLiteral(": ") +
           Number(bestPoint.y());
    if (pointNote_) {
        const QString note = pointNote_(bestSeries, bestPoint);
        if (!note.isEmpty()) tip += QLatin1Char('\n') + note;
    }
    return tip;
}

void ChartExplorer::ZoomAt(const QPoint& pos, double factor) {
    QChart* chart = view_->chart();
    const QRectF plot = chart->plotArea();
    if (plot.isEmpty() || factor <= 0.0) return;
    QPointF c = chart->mapFromScene(view_->mapToScene(pos));
    if (!plot.contains(c)) c = plot.center();
    const QRectF r(c.x() - (c.x() - plot.left()) / factor, c.y() - (c.y() - plot.top()) / factor,
                   plot.width() / factor, plot.height() / factor);
    chart->zoomIn(r);
    emit ViewChanged();
}

void ChartExplorer::Pan(const QPoint& pixels) {
    view_->chart()->scroll(-pixels.x(), pixels.y());
    emit ViewChanged();
}

void ChartExplorer::ResetZoom() {
    view_->chart()->zoomReset();
    emit ViewChanged();
}

bool ChartExplorer::eventFilter(QObject* watched, QEvent* event) {
    // Compared with the viewport kept at the start: the view may be half destroyed
    // when its viewport's last events arrive.
    if (watched != viewport_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            const QPoint pos = e->position().toPoint();
            if (dragging_) {
                Pan(pos - last_);
                last_ = pos;
                return true;
            }
            const QString tip = TipAt(pos);
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(e->globalPosition().toPoint(), tip, view_);
            break;
        }
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() != Qt::LeftButton) break;
            dragging_ = true;
            last_ = e->position().toPoint();
            view_->viewport()->setCursor(Qt::ClosedHandCursor);
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() != Qt::LeftButton || !dragging_) break;
            dragging_ = false;
            view_->viewport()->unsetCursor();
            return true;
        }
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                ResetZoom();
                return true;
            }
            break;
        case QEvent::Wheel: {
            auto* e = static_cast<QWheelEvent*>(event);
            const int steps = e->angleDelta().y();
            if (steps == 0) break;
            ZoomAt(e->position().toPoint(), std::pow(1.25, steps / 120.0));
            return true;
        }
        case QEvent::ContextMenu:
            menu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

QString ChartExplorer::PlainTitle() const {
    return QTextDocumentFragment::fromHtml(view_->chart()->title()).toPlainText().simplified();
}

QImage ChartExplorer::Image() const {
    const QSize size = view_->viewport()->size();
    QImage image(size * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    view_->render(&p, QRectF(QPointF(0, 0), QSizeF(size * 2)), view_->viewport()->rect());
    p.end();
    return image;
}

bool ChartExplorer::SavePng(const QString& file, QString& why) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Image().save(&buffer, "PNG")) {
        why = WriteFailureText(file, relcli::WriteOutcome::Failed(relcli::kNotDrawn));
        return false;
    }
    return WriteFileBytes(file, bytes, why);
}

bool ChartExplorer::SaveSvg(const QString& file, QString& why) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = view_->viewport()->size();
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(PlainTitle());
    QPainter p;
    if (!p.begin(&svg)) {
        why = WriteFailureText(file, relcli::WriteOutcome::Failed(relcli::kNotDrawn));
        return false;
    }
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    view_->render(&p, QRectF(QPointF(0, 0), QSizeF(size)), view_->viewport()->rect());
    p.end();
    return WriteFileBytes(file, bytes, why);
}

void ChartExplorer::SaveAs(bool svg) {
    if (!dialogs_) return;
    const QString suffix = svg ? QStringLiteral("svg") : QStringLiteral("png");
    // The proposed name: the chart's title without what a file name cannot hold.
    QString name = PlainTitle();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral(" "));
    name = name.simplified().left(60).trimmed();
    if (name.isEmpty()) name = tr("График");
    const QString caption = tr("Сохранить график");
    QString file = dialogs_->SaveFile(view_, caption, QDir::home().filePath(name + QLatin1Char('.') + suffix),
                                      svg ? tr("Рисунки SVG (*.svg)") : tr("Рисунки PNG (*.png)"));
    if (file.isEmpty()) return;  // cancelled
    if (QFileInfo(file).suffix().isEmpty()) file += QLatin1Char('.') + suffix;
    QString why;
    if (!(svg ? SaveSvg(file, why) : SavePng(file, why))) dialogs_->Error(view_, caption, why);
}

}  // namespace relan
