#include "support/ProgramFolder.h"

#include "basics/AppPath.h"

namespace zobran::test {

ProgramFolder::ProgramFolder() : savedAppPath_(AppPath())
{
    AppPath() = folder_.path();
}

ProgramFolder::~ProgramFolder()
{
    AppPath() = savedAppPath_;
}

} // namespace zobran::test
