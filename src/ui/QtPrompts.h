#pragma once

#include "ui/Prompts.h"

namespace zobran {

// The prompts the running program shows: Qt message boxes, input boxes and file dialogs with the
// titles, icons and buttons the windows ask for.
class QtPrompts final : public Prompts {
public:
    void message(QWidget* parent, const QString& text, const QString& title, MsgIcon icon) override;
    int askYesNo(QWidget* parent, const QString& text, const QString& title, MsgIcon icon) override;
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) override;
    int execModal(QDialog& dialog) override;
};

} // namespace zobran
