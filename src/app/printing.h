// Printing an image of a window: landscape, scaled to fit the page.
#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace relan {

class Dialogs;

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

}  // namespace relan
