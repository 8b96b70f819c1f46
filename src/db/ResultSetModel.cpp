#include "db/ResultSetModel.h"

#include "db/ResultSet.h"

#include "db/SqlTypes.h"

namespace zobran::db {

ResultSetModel::ResultSetModel(QObject* parent) : QAbstractTableModel(parent) {}

ResultSetModel::~ResultSetModel()
{
    if (resultSet_)
        resultSet_->setChangedHandler({});
}

void ResultSetModel::setResultSet(ResultSet* resultSet)
{
    beginResetModel();
    if (resultSet_)
        resultSet_->setChangedHandler({});
    resultSet_ = resultSet;
    if (resultSet_)
        resultSet_->setChangedHandler([this] {
            beginResetModel();
            endResetModel();
        });
    endResetModel();
}

int ResultSetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !resultSet_ || !resultSet_->isOpen())
        return 0;
    return static_cast<int>(resultSet_->recordCount());
}

int ResultSetModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !resultSet_ || !resultSet_->isOpen())
        return 0;
    return resultSet_->fieldCount();
}

QVariant ResultSetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !resultSet_ || !resultSet_->isOpen())
        return {};
    if (role == Qt::DisplayRole) {
        const auto row = static_cast<std::size_t>(index.row());
        if (resultSet_->isNullAt(row, index.column()))
            return QString();
        const std::string_view text = resultSet_->valueAt(row, index.column());
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (role == Qt::TextAlignmentRole && isNumericType(resultSet_->field(index.column()).type))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ResultSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (!resultSet_ || !resultSet_->isOpen() || section >= resultSet_->fieldCount())
        return {};
    return QString::fromStdString(resultSet_->field(section).name);
}

} // namespace zobran::db
