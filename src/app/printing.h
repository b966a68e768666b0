// Printing: an image of a window, landscape, scaled to fit the page; and the
// results sheet drawn as vectors onto a PDF page.
#pragma once

#include <QRectF>
#include <QString>
#include <vector>

class QChartView;
class QLabel;
class QPainter;
class QPrinter;
class QWidget;

namespace relan {

class Dialogs;
class ResultsGrid;

// Margins of the report page (landscape A4), millimetres.
inline constexpr double kReportMarginMm = 8.0;

enum class PrintOutcome { Printed, SavedPdf, Cancelled, Failed };

// Draws an image of `window` on `printer`, centred and scaled to the page with
// its proportions kept. False when the printer could not be started.
bool PrintImage(QWidget* window, QPrinter& printer);

// The print button of a window: the first installed printer, landscape, the
// printer set-up dialog, then the image of the window. When the set-up dialog is
// cancelled the image is printed only if `printWhenCancelled`.
// With no printer installed the user is told so and may save the same image as a
// PDF file instead; `pdfName` is the file name proposed for it.
PrintOutcome PrintWindow(QWidget* window, Dialogs& dialogs, bool printWhenCancelled,
                         const QString& pdfName);

// What the results window draws into a report: its sheet and, laid out on it, the
// title line, the table and the charts.
struct ResultsSheet {
    const QWidget* sheet = nullptr;
    const QLabel* title = nullptr;
    const ResultsGrid* table = nullptr;
    std::vector<QChartView*> charts;
};

// Draws the title line, the table and the charts into `target`, laid out as on the
// window and scaled with their proportions kept: charts and texts as vectors (a
// PDF keeps them sharp and searchable).
void PaintResultsSheet(QPainter& painter, const QRectF& target, const ResultsSheet& parts);

// Writes PaintResultsSheet onto one landscape A4 page of a PDF file named
// `docName`. False with the reason in `why` when the file cannot be written.
bool WriteResultsPdf(const ResultsSheet& parts, const QString& file, const QString& docName, QString& why);

}  // namespace relan
