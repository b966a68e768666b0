#include "failure_list_model.h"

#include <utility>

#include "analysis/load.h"
#include "core_words.h"

namespace relan {

namespace {
// The core's headers of the list (rel::kGridHeader), marked here for translation.
[[maybe_unused]] constexpr const char* kGridHeaderMarks[] = {
    QT_TRANSLATE_NOOP("relan::FailureListModel", " № отказа"),
    QT_TRANSLATE_NOOP("relan::FailureListModel", "Наработка, ч"),
    QT_TRANSLATE_NOOP("relan::FailureListModel", "Источник отказа"),
    QT_TRANSLATE_NOOP("relan::FailureListModel", "Описание отказа"),
};
}  // namespace

namespace {

quint64 CellKey(int row, int column) { return (static_cast<quint64>(row) << 8) | static_cast<quint64>(column); }

}  // namespace

FailureListModel::FailureListModel(const rel::AnalysisState& st, QObject* parent)
    : QAbstractTableModel(parent), st_(st) {}

void FailureListModel::ShowLoaded(std::vector<rel::ShareMark> marks, char decimalSep) {
    beginResetModel();
    loaded_ = true;
    rows_ = static_cast<int>(st_.ArrProblems.size());
    marks_ = std::move(marks);
    sep_ = decimalSep;
    typed_.clear();
    cachedRow_ = -1;
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

int FailureListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int FailureListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QString FailureListModel::Cell(int row, int column) const {
    if (!loaded_) return {};
    // The state may hold fewer failures than the list was made for only while a
    // load replaces them; such a row shows nothing.
    if (static_cast<std::size_t>(row) >= st_.ArrProblems.size()) return {};
    if (row != cachedRow_) {
        const auto cells = rel::FailureGridRow(st_, marks_, static_cast<std::size_t>(row), sep_);
        for (int c = 0; c < kColumns; ++c)
            cached_[static_cast<std::size_t>(c)] = QString::fromStdString(cells[static_cast<std::size_t>(c)]);
        cached_[2] = TranslatedCauseCell(cached_[2]);
        cachedRow_ = row;
    }
    return cached_[static_cast<std::size_t>(column)];
}

QVariant FailureListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const auto typed = typed_.constFind(CellKey(index.row(), index.column()));
    if (typed != typed_.constEnd()) return *typed;
    return Cell(index.row(), index.column());
}

QVariant FailureListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns) return {};
    // The headers stand above the empty list before any load too.
    return tr(rel::kGridHeader[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags FailureListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool FailureListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    typed_.insert(CellKey(index.row(), index.column()), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

}  // namespace relan
