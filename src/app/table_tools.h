// Copy and export of a table on the screen (the results table, the failure list):
// rows, columns or everything selected; Ctrl+C and "Копировать" put the selection
// with its column headers on the clipboard as tab-separated text, which a
// spreadsheet pastes into cells; "Сохранить как CSV…" writes the whole table for a
// spreadsheet, "Сохранить как Excel…" the analysis workbook.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QMenu;
class QTableView;

namespace relan {

class Dialogs;

class TableTools : public QObject {
    Q_OBJECT
public:
    // Writes the analysis workbook to a file; false with the reason in `why`.
    using WorkbookWriter = std::function<bool(const QString& file, QString& why)>;

    // `fileName`: the name proposed for a saved file, without extension.
    TableTools(QTableView* view, QString fileName);

    void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
    void SetWorkbookWriter(WorkbookWriter writer) { workbook_ = std::move(writer); }

    // The selected cells as tab-separated text: a line of the selected columns'
    // headers, then one line per selected row (cells of the rows' span that are not
    // selected stay empty). Cells lose their padding blanks; a cell with a tab, a
    // line end or a quote is quoted, as spreadsheets do.
    QString SelectionText() const;
    // The whole table with its headers as CSV for a spreadsheet of the user's
    // locale: UTF-8 with a byte-order mark, ';' between cells where the decimal
    // separator is a comma (',' otherwise), lines ending in CR LF.
    QByteArray Csv() const;

    // Ctrl+C: the selection onto the clipboard.
    void Copy() const;
    bool SaveCsv(const QString& file, QString& why) const;

    // The context menu; its actions have object names for tests.
    QMenu* Menu() const { return menu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SaveAs(bool excel);
    QString HeaderText(int column) const;
    QString CellText(int row, int column) const;

    QTableView* view_;
    QString fileName_;
    Dialogs* dialogs_ = nullptr;
    WorkbookWriter workbook_;
    QMenu* menu_;
};

}  // namespace relan
