#include "printing.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include "dialogs.h"

namespace relan {

namespace {

const QString kCaption = QStringLiteral("Печать");

}  // namespace

bool PrintImage(QWidget* window, QPrinter& printer) {
    // The window drawn at twice its size keeps lines and texts sharp on paper.
    const qreal scale = 2.0;
    QPixmap image(window->size() * scale);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    window->render(&image);

    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // Painter coordinates start at the top left corner of the printable area.
    const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    const QSizeF fitted = QSizeF(window->size()).scaled(page.size(), Qt::KeepAspectRatio);
    const QRectF target(page.left() + (page.width() - fitted.width()) / 2.0,
                        page.top() + (page.height() - fitted.height()) / 2.0, fitted.width(),
                        fitted.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, image, QRectF(QPointF(0, 0), QSizeF(image.size())));
    return painter.end();
}

PrintOutcome PrintWindow(QWidget* window, Dialogs& dialogs, bool printWhenCancelled,
                         const QString& pdfName) {
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty()) {
        if (!dialogs.Ask(window, kCaption,
                         QStringLiteral("Принтер не установлен. Сохранить изображение окна в "
                                        "файл PDF?")))
            return PrintOutcome::Cancelled;
        QString file = dialogs.SaveFile(window, QStringLiteral("Сохранить изображение окна"),
                                        QDir::home().filePath(pdfName),
                                        QStringLiteral("Файлы PDF (*.pdf)"));
        if (file.isEmpty()) return PrintOutcome::Cancelled;
        if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(file);
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setDocName(window->windowTitle());
        if (!PrintImage(window, pdf)) {
            dialogs.Message(window, QStringLiteral("Не удалось записать файл «%1».")
                                        .arg(QDir::toNativeSeparators(file)));
            return PrintOutcome::Failed;
        }
        return PrintOutcome::SavedPdf;
    }

    QPrinter printer(printers.constFirst(), QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(window->windowTitle());
    const bool confirmed = dialogs.PrinterSetup(window, printer);
    if (!confirmed && !printWhenCancelled) return PrintOutcome::Cancelled;
    if (!PrintImage(window, printer)) {
        dialogs.Message(window, QStringLiteral("Не удалось начать печать на принтере «%1».")
                                    .arg(printer.printerName()));
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Printed;
}

}  // namespace relan
