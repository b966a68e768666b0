// The failure list of the main window as a table model over the loaded failures:
// one row per failure (number, time, cause with the share of the fleet reached
// there, description), made when the view asks for it, so that a file of a
// million failures costs no more than the failures themselves.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "data/state.h"
#include "stats/empirical.h"

namespace relan {

class FailureListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Before the first load: kBlankRows empty rows under empty headers.
    static constexpr int kBlankRows = 24;
    static constexpr int kColumns = 4;

    explicit FailureListModel(const rel::AnalysisState& st, QObject* parent = nullptr);

    // A file has been loaded into the state: its failures are shown, with the share
    // marks of this load, numbers with `decimalSep`. Texts typed into the cells of
    // the previous list go.
    void ShowLoaded(std::vector<rel::ShareMark> marks, char decimalSep);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The cells can be typed into, as a note beside the list; the failures do not change.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    QString Cell(int row, int column) const;

    const rel::AnalysisState& st_;
    bool loaded_ = false;
    int rows_ = kBlankRows;
    std::vector<rel::ShareMark> marks_;
    char sep_ = ',';
    QHash<quint64, QString> typed_;  // texts typed into cells, by row and column
    // The row made last: a view asks for its four cells one after another.
    mutable int cachedRow_ = -1;
    mutable std::array<QString, kColumns> cached_;
};

}  // namespace relan
