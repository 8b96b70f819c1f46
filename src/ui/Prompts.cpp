#include "ui/Prompts.h"

#include "ui/QtPrompts.h"

namespace zobran {

namespace {

Prompts*& installedPrompts()
{
    static Prompts* installed = nullptr;
    return installed;
}

} // namespace

int& MsgAnswer()
{
    static int value = 0;
    return value;
}

Prompts& prompts()
{
    static QtPrompts qtPrompts;
    Prompts* installed = installedPrompts();
    return installed ? *installed : qtPrompts;
}

void setPrompts(Prompts* replacement)
{
    installedPrompts() = replacement;
}

} // namespace zobran
