#include "app/ExtraSettingsPrompt.h"

#include "basics/AppError.h"
#include "db/ExtraConnectionSettings.h"
#include "db/Settings.h"
#include "ui/Prompts.h"

#include <optional>

namespace zobran {

namespace {

const QString Title = QStringLiteral("Extra Connection Settings");

} // namespace

void editExtraConnectionSettings(QWidget* parent)
{
    const std::optional<QString> server
        = prompts().inputBox(parent, QStringLiteral("Server Name:"), Title,
                             GetSetting(SettingsApplication, SettingsSection, settingkeys::Server.readAs));
    if (!server || server->trimmed().isEmpty())
        return;
    QString offered = db::rememberedExtraSettings(*server);
    for (;;) {
        const std::optional<QString> settings = prompts().inputBox(
            parent,
            QStringLiteral("Extra connection settings for %1, as Key=value;Key=value (empty for none):")
                .arg(server->trimmed()),
            Title, offered);
        if (!settings)
            return;
        try {
            db::rememberExtraSettings(*server, *settings);
            return;
        } catch (const AppError& e) {
            prompts().message(parent, e.description(), Title, MsgIcon::Critical);
            offered = *settings;
        }
    }
}

} // namespace zobran
