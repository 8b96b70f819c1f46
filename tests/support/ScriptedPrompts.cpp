#include "support/ScriptedPrompts.h"

#include "basics/AppPath.h"

#include <QDialog>

namespace zobran::test {

namespace {

const char* kindName(PromptCall::Kind kind)
{
    switch (kind) {
    case PromptCall::Kind::Message:
        return "message";
    case PromptCall::Kind::YesNo:
        return "yes/no";
    case PromptCall::Kind::Input:
        return "input";
    case PromptCall::Kind::OpenFile:
        return "open file";
    case PromptCall::Kind::SaveFile:
        return "save file";
    case PromptCall::Kind::Modal:
        return "modal window";
    }
    return "?";
}

const char* iconName(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::None:
        return "none";
    case MsgIcon::Critical:
        return "critical";
    case MsgIcon::Question:
        return "question";
    case MsgIcon::Exclamation:
        return "exclamation";
    case MsgIcon::Information:
        return "information";
    }
    return "?";
}

template <class T>
std::optional<T> takeFront(std::deque<T>& queue)
{
    if (queue.empty())
        return std::nullopt;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

} // namespace

std::ostream& operator<<(std::ostream& out, const PromptCall& call)
{
    out << kindName(call.kind) << " \"" << call.text.toStdString() << "\" title \"" << call.title.toStdString()
        << "\" icon " << iconName(call.icon);
    if (call.kind == PromptCall::Kind::Input)
        out << " default \"" << call.defaultText.toStdString() << '"';
    if (call.kind == PromptCall::Kind::Modal)
        out << " window " << call.windowName.toStdString();
    if (call.unanswered)
        out << " (unanswered)";
    return out;
}

void ScriptedPrompts::answerYesNo(int answer)
{
    yesNo_.push_back(answer);
}

void ScriptedPrompts::answerInput(std::optional<QString> answer)
{
    inputs_.push_back(answer ? InputAnswer{false, *answer} : InputAnswer{true, {}});
}

void ScriptedPrompts::answerFile(QString fileName)
{
    files_.push_back(std::move(fileName));
}

void ScriptedPrompts::onModal(ModalHandler handler)
{
    modalHandlers_.push_back(std::move(handler));
}

std::vector<PromptCall> ScriptedPrompts::callsOf(PromptCall::Kind kind) const
{
    std::vector<PromptCall> found;
    for (const PromptCall& call : calls_)
        if (call.kind == kind)
            found.push_back(call);
    return found;
}

int ScriptedPrompts::unansweredCount() const
{
    int count = 0;
    for (const PromptCall& call : calls_)
        count += call.unanswered ? 1 : 0;
    return count;
}

bool ScriptedPrompts::allAnswersUsed() const
{
    return yesNo_.empty() && inputs_.empty() && files_.empty() && modalHandlers_.empty();
}

bool ScriptedPrompts::wasShown(const QString& text, const QString& title, MsgIcon icon) const
{
    for (const PromptCall& call : calls_)
        if (call.kind == PromptCall::Kind::Message && call.text == text && call.title == title && call.icon == icon)
            return true;
    return false;
}

void ScriptedPrompts::reset()
{
    calls_.clear();
    yesNo_.clear();
    inputs_.clear();
    files_.clear();
    modalHandlers_.clear();
}

void ScriptedPrompts::message(QWidget* parent, const QString& text, const QString& title, MsgIcon icon)
{
    PromptCall call;
    call.kind = PromptCall::Kind::Message;
    call.text = text;
    call.title = title;
    call.icon = icon;
    call.parent = parent;
    calls_.push_back(call);
}

int ScriptedPrompts::askYesNo(QWidget* parent, const QString& text, const QString& title, MsgIcon icon)
{
    PromptCall call;
    call.kind = PromptCall::Kind::YesNo;
    call.text = text;
    call.title = title;
    call.icon = icon;
    call.parent = parent;
    const std::optional<int> queued = takeFront(yesNo_);
    call.unanswered = !queued;
    calls_.push_back(call);
    return queued.value_or(answer::No);
}

std::optional<QString> ScriptedPrompts::inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                                 const QString& defaultText)
{
    PromptCall call;
    call.kind = PromptCall::Kind::Input;
    call.text = prompt;
    call.title = title;
    call.defaultText = defaultText;
    call.parent = parent;
    call.unanswered = inputs_.empty();
    calls_.push_back(call);
    if (inputs_.empty())
        return std::nullopt;
    const InputAnswer answer = inputs_.front();
    inputs_.pop_front();
    if (answer.cancelled)
        return std::nullopt;
    return answer.text;
}

QString ScriptedPrompts::openFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter)
{
    return fileDialog(PromptCall::Kind::OpenFile, parent, title, folder, filter);
}

QString ScriptedPrompts::saveFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter)
{
    return fileDialog(PromptCall::Kind::SaveFile, parent, title, folder, filter);
}

QString ScriptedPrompts::fileDialog(PromptCall::Kind kind, QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter)
{
    PromptCall call;
    call.kind = kind;
    call.title = title;
    call.folder = folder;
    call.filter = filter;
    call.parent = parent;
    const std::optional<QString> queued = takeFront(files_);
    call.unanswered = !queued;
    calls_.push_back(call);
    return queued.value_or(QString());
}

int ScriptedPrompts::execModal(QDialog& dialog)
{
    PromptCall call;
    call.kind = PromptCall::Kind::Modal;
    call.title = dialog.windowTitle();
    call.window = &dialog;
    call.windowName = dialog.objectName();
    call.parent = dialog.parentWidget();
    calls_.push_back(call);

    QPointer<QDialog> window(&dialog);
    bool closed = false;
    const auto closing = QObject::connect(&dialog, &QDialog::finished, [&closed] { closed = true; });
    dialog.setResult(0);
    dialog.show();
    if (std::optional<ModalHandler> handler = takeFront(modalHandlers_); handler && *handler)
        (*handler)(dialog);
    if (!window)
        return QDialog::Rejected;
    QObject::disconnect(closing);
    if (!closed)
        dialog.reject(); // the user closes the window
    return dialog.result();
}

} // namespace zobran::test
