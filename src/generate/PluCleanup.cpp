#include "generate/PluCleanup.h"

#include "db/Connection.h"
#include "db/ResultSet.h"
#include "db/SharedConnections.h"

namespace zobran {

namespace {

QString quoted(QString value)
{
    return value.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString textOf(const db::ResultSet& rows, int field)
{
    const std::string_view text = rows.value(field);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString duplicatePluQuery()
{
    return QStringLiteral("select a.itemcode, b.plucode from qinv_mt_item as a ")
        + QStringLiteral("left join qinv_mt_plu as b on a.itemcode=b.itemcode ")
        + QStringLiteral(
               "where a.itemcode in (select itemcode from qinv_mt_plu group by itemcode having count(plucode)>1) ")
        + QStringLiteral("and a.itemcode<>b.plucode ")
        + QStringLiteral("order by a.itemcode, cast(b.plucode as numeric(20,6)) desc");
}

QString deletePluStatement(const QString& itemCode, const QString& pluCode)
{
    return QStringLiteral("Delete From Qinv_mt_Plu Where ItemCode='") + quoted(itemCode)
        + QStringLiteral("' And PluCode='") + quoted(pluCode) + QStringLiteral("'");
}

long removeHighestDuplicatePlu(db::Connection& connection,
                               const std::function<void(const QString& itemCode)>& processing)
{
    const std::unique_ptr<db::ResultSet> list = db::openStaticResultSet(duplicatePluQuery(), connection);
    db::ResultSet& rows = *list;
    long deleted = 0;
    QString previousItem;
    for (; !rows.eof(); rows.moveNext()) {
        const QString itemCode = textOf(rows, 0);
        if (itemCode == previousItem)
            continue;
        if (processing)
            processing(itemCode);
        connection.execute(deletePluStatement(itemCode, textOf(rows, 1)));
        ++deleted;
        previousItem = itemCode;
    }
    rows.close();
    return deleted;
}

} // namespace zobran
