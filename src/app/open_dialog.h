// The file-open dialog shared by the data-file and the warranty-file buttons. It
// keeps its filter, initial folder and current file name between uses, so that a
// cancelled dialog leaves the file chosen last as the current one.
#pragma once

#include <QString>

class QWidget;

namespace relan {

class Dialogs;

// "name|*.a;*.b|name2|*.c" (pairs of description and patterns separated by '|',
// patterns by ';') into the toolkit's "name (*.a *.b);;name2 (*.c)".
QString ToQtFilter(const QString& pairs);

struct OpenDialog {
    QString Filter;      // in the pair form above
    QString InitialDir;  // initial folder (or a file in it)
    QString FileName;    // current file: the one chosen last, empty before any choice

    // Shows the dialog. On a confirmed choice FileName becomes the chosen file and
    // the result is true; on cancel FileName keeps its value and the result is false.
    bool Execute(Dialogs& dialogs, QWidget* parent);
};

}  // namespace relan
