// Every modal dialog of the window program goes through this interface, so that
// tests can answer the dialogs themselves and nothing waits on a modal box.
#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace relan {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Modal information box with the program's title as caption.
    virtual void Message(QWidget* parent, const QString& text) = 0;
    // Modal error box with the given caption.
    virtual void Error(QWidget* parent, const QString& caption, const QString& text) = 0;
    // Modal question with "Да" / "Нет"; true for "Да".
    virtual bool Ask(QWidget* parent, const QString& caption, const QString& text) = 0;
    // File-open dialog. `folder` is the initial folder (or a file whose folder is
    // meant), `file` the current file name, `filter` in the toolkit's form
    // ("name (*.a *.b);;name2 (*.c)"). Returns the chosen file, empty when cancelled.
    virtual QString OpenFile(QWidget* parent, const QString& caption, const QString& folder, const QString& file,
                             const QString& filter) = 0;
    // File-save dialog; returns the chosen file, empty when cancelled.
    virtual QString SaveFile(QWidget* parent, const QString& caption, const QString& file,
                             const QString& filter) = 0;
    // Printer set-up: choice of printer and its page settings; true when confirmed.
    virtual bool PrinterSetup(QWidget* parent, QPrinter& printer) = 0;
};

// The toolkit's own modal dialogs.
class QtDialogs : public Dialogs {
public:
    void Message(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& caption, const QString& text) override;
    bool Ask(QWidget* parent, const QString& caption, const QString& text) override;
    QString OpenFile(QWidget* parent, const QString& caption, const QString& folder, const QString& file,
                     const QString& filter) override;
    QString SaveFile(QWidget* parent, const QString& caption, const QString& file, const QString& filter) override;
    bool PrinterSetup(QWidget* parent, QPrinter& printer) override;
};

}  // namespace relan
