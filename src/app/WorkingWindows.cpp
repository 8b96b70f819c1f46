#include "app/WorkingWindows.h"

#include "basics/ProgramWindow.h"
#include "delete/MdeleteWindow.h"
#include "generate/MgenWindow.h"
#include "import/TrsqlWindow.h"
#include "import/TrupdateWindow.h"

namespace zobran {

MgenWindow& mgenWindow()
{
    return programWindow<MgenWindow>();
}

TrsqlWindow& trsqlWindow()
{
    return programWindow<TrsqlWindow>();
}

TrupdateWindow& trupdateWindow()
{
    return programWindow<TrupdateWindow>();
}

MdeleteWindow& mdeleteWindow()
{
    return programWindow<MdeleteWindow>();
}

void openGenerateScript()
{
    mgenWindow().showModal();
}

void openSingleDatabaseImport()
{
    trsqlWindow().showModal();
}

void openMultiDatabaseUpdate()
{
    trupdateWindow().showModal();
}

void openDeleteScript()
{
    mdeleteWindow().showModal();
}

} // namespace zobran
