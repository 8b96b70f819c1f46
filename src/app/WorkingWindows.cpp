#include "app/WorkingWindows.h"

#include "ui/ProgramWindow.h"
#include "delete_ui/MdeleteWindow.h"
#include "generate_ui/MgenWindow.h"
#include "import_ui/TrsqlWindow.h"
#include "import_ui/TrupdateWindow.h"

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
