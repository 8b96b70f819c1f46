#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

namespace zobran {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };

// The answers of a Yes/No question.
namespace answer {
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace answer

// Answer of the last Yes/No question (6 Yes, 7 No), kept program-wide.
int& MsgAnswer();

// Every message box, question, input box, file dialog and modal window of the program goes through
// this interface. The windows hold it; the Qt implementation shows real dialogs, the scripted one
// (tests) answers from a queue and records what was asked.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A message with an OK button.
    virtual void message(QWidget* parent, const QString& text, const QString& title, MsgIcon icon) = 0;

    // A Yes/No question; returns 6 (Yes) or 7 (No).
    virtual int askYesNo(QWidget* parent, const QString& text, const QString& title, MsgIcon icon) = 0;

    // An input box with the default text filled in; the confirmed text, or nothing when cancelled.
    virtual std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                            const QString& defaultText)
        = 0;

    // File dialogs; an empty result means the user cancelled.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
        = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter)
        = 0;

    // Shows a window modally and returns when it has been closed.
    virtual int execModal(QDialog& dialog) = 0;
};

// The program-wide prompts: the Qt implementation unless a test installs its own.
Prompts& prompts();
void setPrompts(Prompts* replacement); // nullptr restores the Qt implementation

} // namespace zobran
