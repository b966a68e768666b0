// The results table of the results window: a fixed header row and eleven rows of
// six columns, filled with the texts of the results output, each padded with
// blanks to its width in the table's font as the output asks.
#pragma once

#include <QColor>
#include <QTableWidget>

namespace rel {
struct ResultsTable;
}

namespace relan {

// Pixels of a column of the table as the output sizes it (0: the column keeps
// its width): the labels 240, a model 145, column 1 and the data column 155.
int ResultsColumnWidth(const rel::ResultsTable& table, int column);
// Pixels a padded cell of the column is filled to with blanks.
int ResultsCellPadTo(const rel::ResultsTable& table, int column);

// Background of the cells of a model the Kolmogorov test rejects.
inline const QColor kRejectedBack(250, 214, 214);

class TableTools;

class ResultsGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ResultsGrid(QWidget* parent = nullptr);

    void Draw(const rel::ResultsTable& table);

    // Text of a cell; row 0 is the fixed header row.
    QString CellText(int col, int row) const;
    // The cell's background is the rejected model's tint.
    bool CellTinted(int col, int row) const;
    // Rows as designed (28 px) or as low as the font allows, for a small screen.
    void SetCompact(bool compact);

    // Selection, copy and export.
    TableTools* Tools() const { return tools_; }

private:
    TableTools* tools_;
};

}  // namespace relan
