#pragma once

#include <QAbstractTableModel>

namespace zobran::db {

class ResultSet;

// Shows a result set in a table view: one column per field, named after it; follows the result
// set's sorting and re-reading at once. Values are converted only for the rows on screen.
class ResultSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultSetModel(QObject* parent = nullptr);
    ~ResultSetModel() override;

    // Binds a result set (nullptr empties the view). The model does not own it; unbind before the
    // result set goes.
    void setResultSet(ResultSet* resultSet);
    ResultSet* resultSet() const { return resultSet_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    ResultSet* resultSet_ = nullptr;
};

} // namespace zobran::db
