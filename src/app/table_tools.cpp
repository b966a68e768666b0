#include "table_tools.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QTableView>
#include <algorithm>
#include <set>

#include "dialogs.h"
#include "file_output.h"

namespace relan {

namespace {

// A cell for a text the spreadsheet splits at `sep` and at line ends: quoted, its
// quotes doubled, when it holds one of them or a quote.
QString Field(const QString& text, QChar sep) {
    if (!text.contains(sep) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString q = text;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

}  // namespace

TableTools::TableTools(QTableView* view, QString fileName)
    : QObject(view), view_(view), fileName_(std::move(fileName)), menu_(new QMenu(view)) {
    menu_->setObjectName(QStringLiteral("TableMenu"));
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectItems);
    // A click on a column's header selects the column.
    view_->horizontalHeader()->setSectionsClickable(true);
    auto add = [this](const char* name, const QString& text, auto slot) {
        QAction* a = menu_->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add("actCopy", tr("Копировать"), [this] { Copy(); })->setShortcut(QKeySequence::Copy);
    add("actSelectRows", tr("Выделить строки"), [this] {
        // The rows of the cells selected now, whole.
        std::set<int> rows;
        for (const QModelIndex& i : view_->selectionModel()->selectedIndexes()) rows.insert(i.row());
        if (rows.empty() && view_->currentIndex().isValid()) rows.insert(view_->currentIndex().row());
        QItemSelection sel;
        for (int r : rows)
            sel.select(view_->model()->index(r, 0), view_->model()->index(r, view_->model()->columnCount() - 1));
        view_->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    });
    add("actSelectColumns", tr("Выделить столбцы"), [this] {
        std::set<int> cols;
        for (const QModelIndex& i : view_->selectionModel()->selectedIndexes()) cols.insert(i.column());
        if (cols.empty() && view_->currentIndex().isValid()) cols.insert(view_->currentIndex().column());
        QItemSelection sel;
        for (int c : cols)
            sel.select(view_->model()->index(0, c), view_->model()->index(view_->model()->rowCount() - 1, c));
        view_->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    });
    add("actSelectAll", tr("Выделить все"), [this] { view_->selectAll(); })->setShortcut(QKeySequence::SelectAll);
    menu_->addSeparator();
    add("actSaveCsv", tr("Сохранить как CSV…"), [this] { SaveAs(false); });
    add("actSaveExcel", tr("Сохранить как Excel…"), [this] { SaveAs(true); });
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { menu_->popup(view_->viewport()->mapToGlobal(pos)); });
    view_->installEventFilter(this);
}

bool TableTools::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+C copies the whole selection (the view alone copies one cell).
    if (watched == view_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        Copy();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QString TableTools::HeaderText(int column) const {
    return view_->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().trimmed();
}

QString TableTools::CellText(int row, int column) const {
    return view_->model()->index(row, column).data(Qt::DisplayRole).toString().trimmed();
}

QString TableTools::SelectionText() const {
    const QItemSelectionModel* sm = view_->selectionModel();
    std::set<int> rowSet, colSet;
    for (const QItemSelectionRange& r : sm->selection()) {
        for (int row = r.top(); row <= r.bottom(); ++row) rowSet.insert(row);
        for (int col = r.left(); col <= r.right(); ++col) colSet.insert(col);
    }
    if (rowSet.empty() && view_->currentIndex().isValid()) {
        rowSet.insert(view_->currentIndex().row());
        colSet.insert(view_->currentIndex().column());
    }
    if (rowSet.empty()) return {};
    const QChar tab(QLatin1Char('\t'));
    QString out;
    bool first = true;
    for (int col : colSet) {
        if (!first) out += tab;
        first = false;
        out += Field(HeaderText(col), tab);
    }
    out += QLatin1Char('\n');
    const QAbstractItemModel* m = view_->model();
    const bool onlyCurrent = sm->selection().isEmpty();  // the current cell stands for the selection
    for (int row : rowSet) {
        first = true;
        for (int col : colSet) {
            if (!first) out += tab;
            first = false;
            if (onlyCurrent || sm->isSelected(m->index(row, col))) out += Field(CellText(row, col), tab);
        }
        out += QLatin1Char('\n');
    }
    return out;
}

QByteArray TableTools::Csv() const {
    const QChar sep = QLocale().decimalPoint() == QStringLiteral(",") ? QLatin1Char(';') : QLatin1Char(',');
    const QAbstractItemModel* m = view_->model();
    const int rows = m->rowCount(), cols = m->columnCount();
    QByteArray out("\xEF\xBB\xBF");
    auto line = [&](auto cell) {
        QString l;
        for (int c = 0; c < cols; ++c) {
            if (c > 0) l += sep;
            l += Field(cell(c), sep);
        }
        l += QStringLiteral("\r\n");
        out += l.toUtf8();
    };
    line([this](int c) { return HeaderText(c); });
    for (int r = 0; r < rows; ++r) line([this, r](int c) { return CellText(r, c); });
    return out;
}

void TableTools::Copy() const {
    const QString text = SelectionText();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

bool TableTools::SaveCsv(const QString& file, QString& why) const { return WriteFileBytes(file, Csv(), why); }

void TableTools::SaveAs(bool excel) {
    if (!dialogs_) return;
    const QString suffix = excel ? QStringLiteral("xlsx") : QStringLiteral("csv");
    const QString caption = excel ? tr("Сохранить как Excel") : tr("Сохранить как CSV");
    QString file = dialogs_->SaveFile(view_, caption, QDir::home().filePath(fileName_ + QLatin1Char('.') + suffix),
                                      excel ? tr("Книги Excel (*.xlsx)") : tr("Файлы CSV (*.csv)"));
    if (file.isEmpty()) return;  // cancelled
    if (QFileInfo(file).suffix().isEmpty()) file += QLatin1Char('.') + suffix;
    QString why;
    bool ok = false;
    if (excel) {
        if (!workbook_) return;
        ok = workbook_(file, why);
    } else {
        ok = SaveCsv(file, why);
    }
    if (!ok) dialogs_->Error(view_, caption, why);
}

}  // namespace relan
