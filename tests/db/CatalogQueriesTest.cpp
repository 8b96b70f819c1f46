#include "db/CatalogQueries.h"

#include <gtest/gtest.h>

using namespace zobran::db;

TEST(CatalogQueries, TheWindowsSendTheseTextsExactly)
{
    EXPECT_EQ(tableListQuery(), "Select Name From sys.Tables Where Name<>'sysdiagrams' Order By Name");
    EXPECT_EQ(fieldListQuery("qinv_mt_item"),
              "Select A.name From dbo.syscolumns As A Inner Join dbo.sysobjects As B "
              "ON A.ID=B.ID Where B.name = N'qinv_mt_item'");
    EXPECT_EQ(userDatabaseListQuery(),
              "SELECT name from sys.databases where State=0 and (name <> 'master' and name <> 'tempdb' and "
              "name <> 'model' and name <> 'msdb') order by name");
}

TEST(CatalogQueries, TheDeleteWindowLeavesOutSysdiagramsAndTheThirtyThreeConfigurationTables)
{
    // The five pieces of the query, joined with nothing between them.
    const QString expected
        = QStringLiteral("Select Name From sys.Tables Where Name not in ('sysdiagrams','qtil_rpt_set', "
                         "'qtil_rpt_receipt','qtil_mt_report','qtil_mt_printergroup','qtil_mt_printermodel',"
                         "'qtil_mt_message',")
        + " 'qtil_mt_language','qtil_mt_device','qtil_mt_devicegroup','qtil_mt_app','qtil_mt_parametersetup',"
          "'qtil_mt_parametersetupgroup','qtil_mt_loginscreen',"
        + "'qcor_defaultaccess','qcor_defaulttype','qcor_formlanguage','qcor_mainaccess','qcor_mainmenu',"
          "'qinv_mt_defaultbilltype','qclk_mt_defaultbilltype','qwag_mt_defaultaccesslevel',"
        + "'qwag_mt_epftable','qwag_mt_intaxtable','qlist_mt_comboclick','qlist_mt_housekeeping','qlist_mt_layout',"
          "'qlist_mt_loadcombo','qlist_rpt_defaultfield',"
        + "'qlist_rpt_defaultlist','qlist_rpt_defaultmodule','qlist_rpt_set','qlist_rpt_tempfile','qlist_mt_seabill') "
          "Order By Name";
    EXPECT_EQ(deletableTableListQuery(), expected);
    EXPECT_EQ(deletableTableListQuery().count(QLatin1Char('\'')), 2 * 34) << "sysdiagrams and 33 more names";
}
