#pragma once

#include "ui/Prompts.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

class QDialog;

namespace zobran::test {

// One thing the program asked the user, as the scripted prompts saw it.
struct PromptCall {
    enum class Kind { Message, YesNo, Input, OpenFile, SaveFile, Modal };

    Kind kind = Kind::Message;
    QString text;  // message, question or input prompt
    QString title; // box title; for a modal window its window title
    MsgIcon icon = MsgIcon::None;
    QString defaultText;     // input box default text
    QString folder;          // file dialogs
    QString filter;          // file dialogs
    bool unanswered = false; // asked with no answer queued: answered No / cancelled / empty
    QPointer<QWidget> parent;
    QDialog* window = nullptr; // modal windows: the instance shown (compare, do not dereference later)
    QString windowName;        // modal windows: objectName
};

std::ostream& operator<<(std::ostream& out, const PromptCall& call);

// Prompts for tests: answers come from queues the test fills, and every call is recorded.
//
//   ScriptedPrompts scripted;           setPrompts(&scripted);
//   scripted.answerYesNo(answer::No);
//   ... drive the window ...
//   EXPECT_TRUE(scripted.wasShown("Invalid Server Name !!!", "Message", MsgIcon::Critical));
//   setPrompts(nullptr);
//
// A modal window is shown (offscreen), handed to the next queued onModal handler so the test can
// read or drive it, and then closed with reject() as the user would, unless the handler closed it.
class ScriptedPrompts : public Prompts {
public:
    using ModalHandler = std::function<void(QDialog&)>;

    // Answer queues, used in order, each by its own kind of call.
    void answerYesNo(int answer);                    // 6 Yes, 7 No
    void answerInput(std::optional<QString> answer); // nullopt: the user cancelled
    void answerFile(QString fileName);               // open and save dialogs; empty: cancelled
    void onModal(ModalHandler handler);              // next modal window opened

    const std::vector<PromptCall>& calls() const { return calls_; }
    std::vector<PromptCall> callsOf(PromptCall::Kind kind) const;
    std::vector<PromptCall> messages() const { return callsOf(PromptCall::Kind::Message); }
    std::vector<PromptCall> modals() const { return callsOf(PromptCall::Kind::Modal); }
    int unansweredCount() const;
    // Queued answers or handlers no call has used yet.
    bool allAnswersUsed() const;
    bool wasShown(const QString& text, const QString& title, MsgIcon icon) const;
    // Forgets the recorded calls and the queued answers.
    void reset();

    void message(QWidget* parent, const QString& text, const QString& title, MsgIcon icon) override;
    int askYesNo(QWidget* parent, const QString& text, const QString& title, MsgIcon icon) override;
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) override;
    int execModal(QDialog& dialog) override;

private:
    QString fileDialog(PromptCall::Kind kind, QWidget* parent, const QString& title, const QString& folder,
                       const QString& filter);

    std::vector<PromptCall> calls_;
    std::deque<int> yesNo_;
    struct InputAnswer {
        bool cancelled = false;
        QString text;
    };
    std::deque<InputAnswer> inputs_;
    std::deque<QString> files_;
    std::deque<ModalHandler> modalHandlers_;
};

} // namespace zobran::test
