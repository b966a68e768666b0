#include "results_grid.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

#include "chart_style.h"
#include "table_tools.h"
#include "results/out_results.h"

namespace relan {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The table's font: "MS Sans Serif" of 17 pixels as designed; the narrower
// DejaVu Sans Condensed at 14 pixels in its place keeps the designed column
// widths readable (a column is widened where a text is still wider).
QFont GridFont() {
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif")});
    f.setPixelSize(17);
    if (QFontInfo(f).family() == QStringLiteral("MS Sans Serif")) return f;
    return FontOf({QStringLiteral("DejaVu Sans Condensed")}, 13);
}

}  // namespace

int ResultsColumnWidth(const rel::ResultsTable& table, int column) {
    const rel::ResColumn kind = table.Columns[static_cast<std::size_t>(column)];
    switch (kind) {
        case rel::ResColumn::Keep:
            return 0;
        case rel::ResColumn::Labels:
            return 240;
        case rel::ResColumn::Model:
            return column == 1 ? 155 : 145;
        case rel::ResColumn::Data:
            return 155;
    }
    return 0;
}

int ResultsCellPadTo(const rel::ResultsTable& table, int column) {
    // The column's width less a margin of 7 at the moment SetResCell writes the
    // cell: a model column is 145 wide then (column 1 widens to 155 only after
    // every model column is written), the data column 155.
    switch (table.Columns[static_cast<std::size_t>(column)]) {
        case rel::ResColumn::Model:
            return 145 - 7;
        case rel::ResColumn::Data:
            return 155 - 7;
        default:
            return 0;
    }
}

ResultsGrid::ResultsGrid(QWidget* parent) : QTableWidget(rel::kResRows - 1, rel::kResShownCols, parent) {
    // Header row (the fixed row 0) plus 11 rows, 6 columns.
    setObjectName(QStringLiteral("Result_Grid"));
    tools_ = new TableTools(this, tr("Результаты анализа"));
    setFont(GridFont());
    horizontalHeader()->setFont(GridFont());
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(237);
    horizontalHeader()->setMinimumSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The table is as high as its rows; a vertical scroll bar appears only when
    // the user's font makes the rows higher than that.
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    for (int c = 0; c < rel::kResShownCols; ++c) setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
    SetCompact(false);
    setMinimumWidth(640);
}

void ResultsGrid::SetCompact(bool compact) {
    const int row = compact ? fontMetrics().height() + 6 : 28;
    horizontalHeader()->setFixedHeight(row);
    verticalHeader()->setDefaultSectionSize(row);
    for (int r = 0; r < rowCount(); ++r) setRowHeight(r, row);
    const int frame = 2 * frameWidth();
    const int scroll = horizontalScrollBar()->sizeHint().height();
    setMinimumHeight(row * rel::kResRows + frame + scroll + 2);
}

void ResultsGrid::Draw(const rel::ResultsTable& table) {
    QTableWidget* const g = this;
    const QFontMetrics fm(g->font());
    g->setUpdatesEnabled(false);
    // A column more when a fifth model ran.
    const int columns = table.ShownColumns();
    for (int c = g->columnCount(); c < columns; ++c) {
        g->setColumnCount(c + 1);
        g->setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
    }
    if (g->columnCount() > columns) g->setColumnCount(columns);
    for (int c = 0; c < columns; ++c)
        if (const int w = ResultsColumnWidth(table, c); w > 0) g->setColumnWidth(c, w);
    // The columns of the models that the Kolmogorov test rejects are tinted.
    std::vector<bool> rejected(static_cast<std::size_t>(columns), false);
    for (const rel::ResultModelColumn& m : table.Models)
        if (m.Rejected && m.column < columns) rejected[static_cast<std::size_t>(m.column)] = true;
    for (int row = 0; row < rel::kResRows; ++row) {
        for (int col = 0; col < columns; ++col) {
            const rel::ResultCell& cell = table.Cell(col, row);
            QString s = Q(cell.text);
            // SetResCell: blanks appended while the text is narrower than the
            // column less its margin (a wider text stays as it is).
            if (cell.padded) {
                const int padTo = ResultsCellPadTo(table, col);
                for (int guard = 0; guard < 4096 && fm.horizontalAdvance(s) < padTo; ++guard)
                    s += QLatin1Char(' ');
            }
            if (row == 0) {
                g->horizontalHeaderItem(col)->setText(s);
            } else {
                QTableWidgetItem* item = g->item(row - 1, col);
                if (!item) {
                    item = new QTableWidgetItem;
                    g->setItem(row - 1, col, item);
                }
                item->setText(s);
                item->setBackground(rejected[static_cast<std::size_t>(col)] ? QBrush(kRejectedBack) : QBrush());
            }
        }
    }
    // A column stays at least as wide as its widest text, so that no figure is
    // cut short where this system's font is wider than the designed one.
    for (int col = 0; col < columns; ++col) {
        int need = 0;
        for (int row = 0; row < rel::kResRows; ++row) {
            const QString t = CellText(col, row);
            qsizetype end = t.size();
            while (end > 0 && t[end - 1] == QLatin1Char(' ')) --end;
            if (end > 0) need = std::max(need, fm.horizontalAdvance(t.left(end)) + 12);
        }
        if (need > g->columnWidth(col)) g->setColumnWidth(col, need);
    }
    // The filled columns stay in view: the table takes the room it needs from the
    // Ln chart beside it (the blank columns after the data may scroll).
    int used = 2 * g->frameWidth() + 2;
    for (int col = 0; col <= std::min(table.ColRes, columns - 1); ++col) used += g->columnWidth(col);
    g->setMinimumWidth(std::max(640, used));
    g->setUpdatesEnabled(true);
}

bool ResultsGrid::CellTinted(int col, int row) const {
    const QTableWidgetItem* cell = row > 0 ? item(row - 1, col) : nullptr;
    return cell && cell->background().style() != Qt::NoBrush;
}

QString ResultsGrid::CellText(int col, int row) const {
    if (col < 0 || col >= columnCount() || row < 0 || row >= rel::kResRows) return {};
    if (row == 0) return horizontalHeaderItem(col)->text();
    const QTableWidgetItem* cell = item(row - 1, col);
    return cell ? cell->text() : QString();
}

}  // namespace relan
