#include "printing.h"

#include <QBuffer>
#include <QChartView>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSvgGenerator>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "captions.h"
#include "chart_style.h"
#include "dialogs.h"
#include "file_output.h"
#include "results/out_results.h"
#include "results_grid.h"

namespace relan {

namespace {

// The context of the printing texts' translations.
struct Printing {
    Q_DECLARE_TR_FUNCTIONS(relan::Printing)
};

// The caption of the printing boxes.
QString Caption() { return Printing::tr("Печать"); }

QString SavedText(const QString& file) {
    return Printing::tr("Файл PDF сохранен: %1").arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
}

// The labels of a panel (model 3's) as texts in their places, on its white ground.
void PaintPanel(QPainter& p, const QWidget* sheet, const QWidget* panel) {
    const QRect box(panel->mapTo(sheet, QPoint(0, 0)), panel->size());
    p.save();
    p.fillRect(box, Qt::white);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    for (const QLabel* l : panel->findChildren<const QLabel*>()) {
        if (!l->isVisibleTo(panel) || l->text().isEmpty()) continue;
        const QRect r(l->mapTo(sheet, QPoint(0, 0)), l->size());
        p.setFont(l->font());
        p.setPen(l->palette().color(QPalette::WindowText));
        const int flags = static_cast<int>(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
        p.drawText(r.adjusted(l->margin(), 0, -l->margin(), 0), flags, l->text());
    }
    // A chart inside the panel (the forecast of a fleet in service), as vectors.
    for (QChartView* v : panel->findChildren<QChartView*>()) {
        if (!v->isVisibleTo(panel)) continue;
        const QRect r(v->mapTo(sheet, QPoint(0, 0)), v->size());
        v->render(&p, QRectF(r), v->viewport()->rect(), Qt::IgnoreAspectRatio);
    }
    p.restore();
}

// The printer's page for a results page: landscape A4 at the screen's resolution,
// so that the pixel fonts of the charts and the table keep the sizes they have on
// the window and the page holds the sheet scaled as a whole.
void SetUpResultsPage(QPrinter& printer, const QString& docName) {
    printer.setResolution(96);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(kReportMarginMm, kReportMarginMm, kReportMarginMm, kReportMarginMm),
                           QPageLayout::Millimeter);
    printer.setDocName(docName);
    printer.setCreator(AppTitle());
}

// The same page for a PDF made in memory.
void SetUpResultsPage(QPdfWriter& pdf, const QString& docName) {
    pdf.setResolution(96);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(kReportMarginMm, kReportMarginMm, kReportMarginMm, kReportMarginMm),
                       QPageLayout::Millimeter);
    pdf.setTitle(docName);
    pdf.setCreator(AppTitle());
}

// The results table as lines and texts.
void PaintTable(QPainter& p, const ResultsGrid& table, const QRect& rect) {
    const ResultsGrid* g = &table;
    p.save();
    p.setClipRect(rect);
    const QColor line(160, 160, 160);
    const QColor headBack(240, 240, 240);
    const int headH = g->horizontalHeader()->height();
    int x = rect.left();
    for (int c = 0; c < g->columnCount() && x < rect.right(); ++c) {
        const int w = g->columnWidth(c);
        int y = rect.top();
        const QRect head(x, y, w, headH);
        p.fillRect(head, headBack);
        p.setPen(line);
        p.drawRect(head.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.setFont(g->horizontalHeader()->font());
        p.drawText(head.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, g->CellText(c, 0));
        y += headH;
        p.setFont(g->font());
        for (int r = 1; r < rel::kResRows; ++r) {
            const int h = g->rowHeight(r - 1);
            const QRect cell(x, y, w, h);
            p.fillRect(cell, g->CellTinted(c, r) ? kRejectedBack : QColor(Qt::white));
            p.setPen(line);
            p.drawRect(cell.adjusted(0, 0, -1, -1));
            p.setPen(Qt::black);
            p.drawText(cell.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, g->CellText(c, r));
            y += h;
        }
        x += w;
    }
    p.restore();
}

}  // namespace

namespace {

// The image of `window` centred on the printable area `page` of `device`, scaled to
// it with its proportions kept.
bool DrawImage(QWidget* window, QPaintDevice& device, const QRectF& page) {
    // The window drawn at twice its size keeps lines and texts sharp on paper.
    const qreal scale = 2.0;
    QPixmap image(window->size() * scale);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    window->render(&image);

    QPainter painter;
    if (!painter.begin(&device)) return false;
    const QSizeF fitted = QSizeF(window->size()).scaled(page.size(), Qt::KeepAspectRatio);
    const QRectF target(page.left() + (page.width() - fitted.width()) / 2.0,
                        page.top() + (page.height() - fitted.height()) / 2.0, fitted.width(), fitted.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, image, QRectF(QPointF(0, 0), QSizeF(image.size())));
    return painter.end();
}

// A PDF made in memory and checked whole before it is written: the paint device
// does not say whether its output was complete.
bool WritePdf(const QString& file, const QByteArray& pdf, QString& why) {
    if (const char* bad = relcli::PdfCheck(std::string_view(pdf.constData(), pdf.size()))) {
        why = WriteFailureText(file, relcli::WriteOutcome::Failed(bad));
        return false;
    }
    return WriteFileBytes(file, pdf, why, relcli::PdfFileCheck());
}

}  // namespace

bool PrintImage(QWidget* window, QPrinter& printer) {
    // Painter coordinates start at the top left corner of the printable area.
    return DrawImage(window, printer, QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()));
}

PrintOutcome PrintWindow(QWidget* window, Dialogs& dialogs, bool printWhenCancelled, const QString& pdfName) {
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty()) {
        if (!dialogs.Ask(window, Caption(),
                         Printing::tr("Принтер не установлен. Сохранить изображение окна в "
                                      "файл PDF?")))
            return PrintOutcome::Cancelled;
        QString file = dialogs.SaveFile(window, Printing::tr("Сохранить изображение окна"),
                                        QDir::home().filePath(pdfName), Printing::tr("Файлы PDF (*.pdf)"));
        if (file.isEmpty()) return PrintOutcome::Cancelled;
        if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
        // The page a PDF printer would have (its size and resolution), landscape.
        QPrinter page(QPrinter::HighResolution);
        page.setOutputFormat(QPrinter::PdfFormat);
        page.setPageOrientation(QPageLayout::Landscape);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        bool drawn = false;
        {
            QPdfWriter pdf(&buffer);
            pdf.setResolution(page.resolution());
            pdf.setPageLayout(page.pageLayout());
            pdf.setTitle(window->windowTitle());
            pdf.setCreator(AppTitle());
            drawn = DrawImage(window, pdf,
                              QRectF(QPointF(0, 0), pdf.pageLayout().paintRectPixels(pdf.resolution()).size()));
        }
        QString why;
        if (!drawn) why = WriteFailureText(file, relcli::WriteOutcome::Failed(relcli::kNotDrawn));
        if (!drawn || !WritePdf(file, bytes, why)) {
            dialogs.Error(window, Caption(), why);
            return PrintOutcome::Failed;
        }
        dialogs.Message(window, SavedText(file));
        return PrintOutcome::SavedPdf;
    }

    QPrinter printer(printers.constFirst(), QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(window->windowTitle());
    const bool confirmed = dialogs.PrinterSetup(window, printer);
    if (!confirmed && !printWhenCancelled) return PrintOutcome::Cancelled;
    if (!PrintImage(window, printer)) {
        dialogs.Error(window, Caption(),
                      Printing::tr("Не удалось начать печать на принтере «%1».").arg(printer.printerName()));
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Printed;
}

QRectF PaintResultsSheet(QPainter& p, const QRectF& target, const ResultsSheet& parts) {
    const QWidget* sheet = parts.sheet;
    const QSizeF size = sheet->size();
    if (size.isEmpty()) return {};
    const qreal s = std::min(target.width() / size.width(), target.height() / size.height());
    const QRectF drawn(target.left() + (target.width() - size.width() * s) / 2.0, target.top(), size.width() * s,
                       size.height() * s);
    p.save();
    p.translate(drawn.topLeft());
    p.scale(s, s);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto where = [sheet](const QWidget* w) { return QRect(w->mapTo(sheet, QPoint(0, 0)), w->size()); };

    p.setFont(parts.title->font());
    p.setPen(Qt::black);
    const QRect titleRect = where(parts.title);
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, parts.title->text());

    PaintTable(p, *parts.table, where(parts.table).adjusted(1, 1, -1, -1));
    if (parts.notes && parts.notes->isVisibleTo(sheet) && !parts.notes->text().isEmpty()) {
        p.setFont(parts.notes->font());
        p.setPen(parts.notes->palette().color(QPalette::WindowText));
        p.drawText(where(parts.notes), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, parts.notes->text());
    }
    for (QChartView* v : parts.charts) {
        const QRect r = where(v);
        v->render(&p, QRectF(r), v->viewport()->rect(), Qt::IgnoreAspectRatio);
    }
    if (parts.mlPanel && parts.mlPanel->isVisibleTo(sheet)) PaintPanel(p, sheet, parts.mlPanel);
    p.restore();
    return drawn;
}

namespace {

// The sheet in `page` (the printable area, its origin at the painter's origin) and
// the header line in the top margin, `margin` high, above it.
void PaintSheetAndHeader(QPainter& painter, const QRectF& page, qreal margin, const ResultsSheet& parts,
                         const QString& header) {
    const QRectF sheet = PaintResultsSheet(painter, page, parts);
    if (!header.isEmpty() && !sheet.isEmpty()) {
        // In the top margin, just above the sheet and a little in from its left
        // edge: the sheet keeps the whole printable area, and the header adds one
        // line to the page's text without moving the texts below it.
        QFont f = FontOf({QStringLiteral("Segoe UI")}, 11);
        // Without ligatures: a file name stays findable letter for letter in the
        // page's text ("fl" would become one glyph).
        f.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
        int px = 11;
        const qreal left = sheet.left() + 16.0;
        const qreal width = page.right() - left;
        while (px > 6 && QFontMetricsF(f).horizontalAdvance(header) > width) f.setPixelSize(--px);
        painter.setFont(f);
        painter.setPen(Qt::black);
        const qreal h = QFontMetricsF(f).height();
        painter.drawText(QRectF(left, -std::min(h + 1.0, margin), width, h), Qt::AlignLeft | Qt::AlignVCenter,
                         header);
    }
}

}  // namespace

bool PaintResultsPage(QPrinter& printer, const ResultsSheet& parts, const QString& header) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    const qreal margin = printer.pageLayout().paintRectPixels(printer.resolution()).top();
    PaintSheetAndHeader(painter, page, margin, parts, header);
    return painter.end();
}

ReportFormat ReportFormatOf(const QString& file) {
    const QString suffix = QFileInfo(file).suffix().toLower();
    // A name without an extension (a device such as /dev/stdout) gets the PDF, as
    // every report did before it could be anything else.
    if (suffix.isEmpty() || suffix == QLatin1String("pdf")) return ReportFormat::Pdf;
    if (suffix == QLatin1String("svg")) return ReportFormat::Svg;
    if (suffix == QLatin1String("png")) return ReportFormat::Png;
    return ReportFormat::Unknown;
}

bool WriteResultsPdf(const ResultsSheet& parts, const QString& file, const QString& docName, const QString& header,
                     QString& why) {
    // The page as the printer's results page has it (landscape A4 at the screen's
    // resolution, the report's margins), made in memory.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    {
        QPdfWriter pdf(&buffer);
        SetUpResultsPage(pdf, docName);
        QPainter painter;
        if (painter.begin(&pdf)) {
            const QRect area = pdf.pageLayout().paintRectPixels(pdf.resolution());
            PaintSheetAndHeader(painter, QRectF(QPointF(0, 0), area.size()), area.top(), parts, header);
            drawn = painter.end();
        }
    }
    if (!drawn) {
        why = WriteFailureText(file, relcli::WriteOutcome::Failed(relcli::kNotDrawn));
        return false;
    }
    return WritePdf(file, bytes, why);
}

bool WriteResultsImage(const ResultsSheet& parts, const QString& file, const QString& docName,
                       const QString& header, QString& why) {
    // The same page as the PDF: landscape A4 with the report's margins, laid out in
    // the screen's pixels (96 per inch) so that the sheet's pixel fonts keep their
    // sizes; a PNG is drawn at 150 dots per inch.
    const ReportFormat format = ReportFormatOf(file);
    const QSizeF mm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter).transposed();
    constexpr double kScreenDpi = 96.0;
    constexpr double kPngDpi = 150.0;
    const QSizeF page(mm.width() / 25.4 * kScreenDpi, mm.height() / 25.4 * kScreenDpi);
    const qreal margin = kReportMarginMm / 25.4 * kScreenDpi;
    const QRectF printable(0, 0, page.width() - 2 * margin, page.height() - 2 * margin);
    auto paint = [&](QPainter& painter) {
        painter.fillRect(QRectF(QPointF(0, 0), page), Qt::white);
        painter.translate(margin, margin);
        PaintSheetAndHeader(painter, printable, margin, parts, header);
    };
    QByteArray bytes;
    if (format == ReportFormat::Svg) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(page.toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), page));
        svg.setResolution(static_cast<int>(kScreenDpi));
        svg.setTitle(docName);
        svg.setDescription(header);
        QPainter painter;
        if (!painter.begin(&svg)) {
            why = WriteFailureText(file, relcli::WriteOutcome::Failed(relcli::kNotDrawn));
            return false;
        }
        paint(painter);
        painter.end();
    } else if (format == ReportFormat::Png) {
        const qreal scale = kPngDpi / kScreenDpi;
        QImage image((page * scale).toSize(), QImage::Format_RGB32);
        image.setDotsPerMeterX(static_cast<int>(std::lround(kPngDpi / 0.0254)));
        image.setDotsPerMeterY(static_cast<int>(std::lround(kPngDpi / 0.0254)));
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(scale, scale);
        paint(painter);
        painter.end();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) {
            why = WriteFailureText(file, relcli::WriteOutcome::Failed(relcli::kNotDrawn));
            return false;
        }
    } else {
        why = WriteFailureText(file, relcli::WriteOutcome::Failed(relcli::kNotDrawn));
        return false;
    }
    return WriteFileBytes(file, bytes, why);
}

PrintOutcome PrintResults(const ResultsSheet& parts, QWidget* parent, Dialogs& dialogs, const QString& header,
                          const QString& docName, const QString& pdfName) {
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty()) {
        if (!dialogs.Ask(parent, Caption(),
                         Printing::tr("Принтер не установлен. Сохранить результаты в файл PDF?")))
            return PrintOutcome::Cancelled;
        QString file = dialogs.SaveFile(parent, Printing::tr("Сохранить результаты"),
                                        QDir::home().filePath(pdfName), Printing::tr("Файлы PDF (*.pdf)"));
        if (file.isEmpty()) return PrintOutcome::Cancelled;
        if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
        QString why;
        if (!WriteResultsPdf(parts, file, docName, header, why)) {
            dialogs.Error(parent, Caption(), why);
            return PrintOutcome::Failed;
        }
        dialogs.Message(parent, SavedText(file));
        return PrintOutcome::SavedPdf;
    }
    QPrinter printer(printers.constFirst(), QPrinter::ScreenResolution);
    SetUpResultsPage(printer, docName);
    if (!dialogs.PrinterSetup(parent, printer)) return PrintOutcome::Cancelled;
    if (!PaintResultsPage(printer, parts, header)) {
        dialogs.Error(parent, Caption(),
                      Printing::tr("Не удалось начать печать на принтере «%1».").arg(printer.printerName()));
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Printed;
}

}  // namespace relan
