#include "dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace relan {

void QtDialogs::Message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QCoreApplication::applicationName(), text);
}

void QtDialogs::Error(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::critical(parent, caption, text);
}

bool QtDialogs::Ask(QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

QString QtDialogs::OpenFile(QWidget* parent, const QString& caption, const QString& folder, const QString& file,
                            const QString& filter) {
    QFileDialog dlg(parent, caption);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilter(filter);
    // The current file wins over the initial folder: the dialog opens where the
    // file chosen last lies, with that file selected.
    const QString start = !file.isEmpty() ? file : folder;
    const QFileInfo info(start);
    if (!start.isEmpty() && info.isDir()) {
        dlg.setDirectory(info.absoluteFilePath());
    } else if (!start.isEmpty()) {
        if (QFileInfo(info.absolutePath()).isDir()) dlg.setDirectory(info.absolutePath());
        if (info.exists()) dlg.selectFile(info.fileName());
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().constFirst();
}

QString QtDialogs::SaveFile(QWidget* parent, const QString& caption, const QString& file, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, file, filter);
}

bool QtDialogs::PrinterSetup(QWidget* parent, QPrinter& printer) {
    QPrintDialog dlg(&printer, parent);
    dlg.setWindowTitle(QCoreApplication::translate("relan::QtDialogs", "Настройка печати"));
    // Printer and page settings only: the image is always printed whole.
    dlg.setOptions(QAbstractPrintDialog::PrintDialogOptions());
    return dlg.exec() == QDialog::Accepted;
}

}  // namespace relan
