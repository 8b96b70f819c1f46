#include "import_ui/ToolOutputView.h"

#include "import_ui/OsqlOutputWindow.h"

namespace zobran {

OsqlOutputWindow* ToolOutputView::outputWindow() const
{
    return output_.data();
}

OsqlOutputWindow& ToolOutputView::shown()
{
    if (!output_)
        output_ = new OsqlOutputWindow(owner_);
    return *output_;
}

void ToolOutputView::beginRun(const QString& caption)
{
    shown().beginRun(caption);
}

void ToolOutputView::appendOutput(const QString& text)
{
    shown().appendOutput(text);
}

void ToolOutputView::endRun(const QString& outcome)
{
    shown().endRun(outcome);
}

void ToolOutputView::clear()
{
    if (output_)
        output_->clear();
}

void ToolOutputView::close()
{
    if (output_)
        output_->close();
}

} // namespace zobran
