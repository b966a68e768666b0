// The results table of the results window: a fixed header row and eleven rows of
// six columns, filled with the texts of the results output, each padded with
// blanks to its width in the table's font as the output asks.
#pragma once

#include <QTableWidget>

namespace rel {
struct ResultsTable;
}

namespace relan {

class TableTools;

class ResultsGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ResultsGrid(QWidget* parent = nullptr);

    void Draw(const rel::ResultsTable& table);

    // Text of a cell; row 0 is the fixed header row.
    QString CellText(int col, int row) const;

    // Selection, copy and export.
    TableTools* Tools() const { return tools_; }

private:
    TableTools* tools_;
};

}  // namespace relan
