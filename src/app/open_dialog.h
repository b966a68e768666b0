// A file-open dialog of one button ("Путь" or "File"): its own filter, the folder
// it starts in, and the file loaded last through it, which it offers again.
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
    QString FileName;    // the file loaded last through this dialog, empty before any

    // Shows the dialog and returns the chosen file, empty when it was cancelled.
    // Nothing of the dialog changes: the caller records the file once it has loaded.
    QString Choose(Dialogs& dialogs, QWidget* parent) const;
};

}  // namespace relan
