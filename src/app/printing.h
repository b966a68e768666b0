// Printing: an image of a window, landscape, scaled to fit the page; and the
// results sheet drawn as vectors onto a page (printer or PDF file).
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
// PDF file instead; `pdfName` is the file name proposed for it. Where the file
// went is said afterwards.
PrintOutcome PrintWindow(QWidget* window, Dialogs& dialogs, bool printWhenCancelled, const QString& pdfName);

// What the results window draws into a report: its sheet and, laid out on it, the
// title line, the table, the charts and model 3's panel (drawn when visible).
struct ResultsSheet {
    const QWidget* sheet = nullptr;
    const QLabel* title = nullptr;
    const ResultsGrid* table = nullptr;
    std::vector<QChartView*> charts;
    const QWidget* mlPanel = nullptr;
    const QLabel* notes = nullptr;  // the sentences under the table, when shown
};

// Draws the title line, the table, the charts and model 3's panel into `target`,
// laid out as on the window and scaled with their proportions kept: charts and
// texts as vectors (a PDF keeps them sharp and searchable). Returns where the sheet
// went.
QRectF PaintResultsSheet(QPainter& painter, const QRectF& target, const ResultsSheet& parts);

// One results page on `printer` (set up by the caller, landscape): the header line
// in the top margin, the sheet in the printable area. False when the printer could
// not be started or finished.
bool PaintResultsPage(QPrinter& printer, const ResultsSheet& parts, const QString& header);

// The kinds of report file, by the file's extension (letter case ignored; none:
// PDF).
enum class ReportFormat { Pdf, Svg, Png, Unknown };
ReportFormat ReportFormatOf(const QString& file);

// Writes PaintResultsPage onto one landscape A4 page of a PDF file named
// `docName`. False with the reason in `why` when the file cannot be written.
bool WriteResultsPdf(const ResultsSheet& parts, const QString& file, const QString& docName, const QString& header,
                     QString& why);

// The same page as an SVG drawing (vectors and texts, at the screen's 96 pixels per
// inch) or a PNG image (150 dots per inch), by the extension of `file`. False with
// the reason in `why` when the file cannot be written.
bool WriteResultsImage(const ResultsSheet& parts, const QString& file, const QString& docName,
                       const QString& header, QString& why);

// The results window's "Печать": the results page, as vectors, on the first
// installed printer after its set-up dialog (nothing when it is cancelled); with no
// printer installed, offered as a PDF file, and where it went is said afterwards.
PrintOutcome PrintResults(const ResultsSheet& parts, QWidget* parent, Dialogs& dialogs, const QString& header,
                          const QString& docName, const QString& pdfName);

}  // namespace relan
