#include "generate/PluCleanup.h"

#include <gtest/gtest.h>

using namespace zobran;

TEST(PluCleanupStatements, ValuesAreQuotedInTheDelete)
{
    EXPECT_EQ(deletePluStatement("O'NEIL", "7"), "Delete From Qinv_mt_Plu Where ItemCode='O''NEIL' And PluCode='7'");
    EXPECT_EQ(duplicatePluQuery(),
              "select a.itemcode, b.plucode from qinv_mt_item as a left join qinv_mt_plu as b on a.itemcode=b.itemcode "
              "where a.itemcode in (select itemcode from qinv_mt_plu group by itemcode having count(plucode)>1) "
              "and a.itemcode<>b.plucode order by a.itemcode, cast(b.plucode as numeric(20,6)) desc");
}
