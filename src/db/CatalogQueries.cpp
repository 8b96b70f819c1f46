#include "db/CatalogQueries.h"

#include "db/ResultSet.h"
#include "db/TimeLimits.h"

namespace zobran::db {

QString tableListQuery()
{
    return QStringLiteral("Select Name From sys.Tables Where Name<>'sysdiagrams' Order By Name");
}

QString fieldListQuery(const QString& table)
{
    // The name is a literal: every apostrophe doubled, so any name stays just a name.
    QString literal = table;
    literal.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("Select A.name ") + QStringLiteral("From dbo.syscolumns As A ")
        + QStringLiteral("Inner Join dbo.sysobjects As B ON A.ID=B.ID ") + QStringLiteral("Where B.name = N'") + literal
        + QStringLiteral("'");
}

QString deletableTableListQuery()
{
    return QStringLiteral(
               "Select Name From sys.Tables Where Name not in ('sysdiagrams','qtil_rpt_set', "
               "'qtil_rpt_receipt','qtil_mt_report','qtil_mt_printergroup','qtil_mt_printermodel','qtil_mt_message',")
        + QStringLiteral(
               " 'qtil_mt_language','qtil_mt_device','qtil_mt_devicegroup','qtil_mt_app','qtil_mt_parametersetup',"
               "'qtil_mt_parametersetupgroup','qtil_mt_loginscreen',")
        + QStringLiteral(
               "'qcor_defaultaccess','qcor_defaulttype','qcor_formlanguage','qcor_mainaccess','qcor_mainmenu',"
               "'qinv_mt_defaultbilltype','qclk_mt_defaultbilltype','qwag_mt_defaultaccesslevel',")
        + QStringLiteral("'qwag_mt_epftable','qwag_mt_intaxtable','qlist_mt_comboclick','qlist_mt_housekeeping',"
                         "'qlist_mt_layout','qlist_mt_loadcombo','qlist_rpt_defaultfield',")
        + QStringLiteral("'qlist_rpt_defaultlist','qlist_rpt_defaultmodule','qlist_rpt_set','qlist_rpt_tempfile',"
                         "'qlist_mt_seabill') Order By Name");
}

QString userDatabaseListQuery()
{
    return QStringLiteral("SELECT name from sys.databases where ")
        + QStringLiteral("State=0 and (name <> 'master' and name <> 'tempdb' and name <> 'model' and name <> 'msdb') "
                         "order by name");
}

QStringList readCatalogList(const QString& sql, Connection& connection)
{
    const std::unique_ptr<ResultSet> list = openStaticResultSet(sql, connection, {}, catalogTimeLimit());
    QStringList texts = firstFieldTexts(*list);
    list->close();
    return texts;
}

} // namespace zobran::db
