#include "ui/ConnectionFields.h"

#include "db/RememberedPassword.h"
#include "db/Settings.h"
#include "db/SharedConnections.h"
#include "ui/ConnectDsn.h"
#include "ui/Prompts.h"

#include <QLineEdit>
#include <QPointer>

namespace zobran {

namespace {

const SettingKey* rememberedKey(ConnectionField field)
{
    switch (field) {
    case ConnectionField::Server:
        return &settingkeys::Server;
    case ConnectionField::Database:
        return &settingkeys::Database;
    case ConnectionField::Login:
        return &settingkeys::Login;
    case ConnectionField::Password: // remembered on its own, see RememberedPassword.h
    case ConnectionField::Driver:
        break;
    }
    return nullptr; // the driver is never remembered
}

constexpr std::array<ConnectionField, ConnectionFieldCount> AllFields{ConnectionField::Driver, ConnectionField::Server,
                                                                      ConnectionField::Database, ConnectionField::Login,
                                                                      ConnectionField::Password};

} // namespace

std::optional<ConnectionField> firstEmptyConnectionField(const ConnectionTexts& texts)
{
    for (const ConnectionField field : AllFields)
        if (texts[static_cast<std::size_t>(field)].isEmpty())
            return field;
    return std::nullopt;
}

QString connectionFieldRefusal(ConnectionField field)
{
    switch (field) {
    case ConnectionField::Driver:
        return QStringLiteral("Invalid Driver !!!");
    case ConnectionField::Server:
        return QStringLiteral("Invalid Server Name !!!");
    case ConnectionField::Database:
        return QStringLiteral("Invalid Database Name !!!");
    case ConnectionField::Login:
        return QStringLiteral("Invalid User ID !!!");
    case ConnectionField::Password:
        return QStringLiteral("Invalid Password !!!");
    }
    return {};
}

ConnectionFields::ConnectionFields(QLineEdit* driver, QLineEdit* server, QLineEdit* database, QLineEdit* login,
                                   QLineEdit* password)
    : boxes_{driver, server, database, login, password}
{
}

QString ConnectionFields::text(ConnectionField field) const
{
    const QLineEdit* b = box(field);
    return b ? b->text() : QString();
}

ConnectionTexts ConnectionFields::texts() const
{
    ConnectionTexts values;
    for (const ConnectionField field : AllFields)
        values[static_cast<std::size_t>(field)] = text(field);
    return values;
}

void ConnectionFields::loadRemembered() const
{
    for (const ConnectionField field : AllFields)
        if (const SettingKey* key = rememberedKey(field); key && box(field))
            box(field)->setText(GetSetting(SettingsApplication, SettingsSection, key->readAs));
    if (QLineEdit* password = box(ConnectionField::Password)) {
        // The secret store answers later: its password fills the box unless the window has gone
        // or the user has typed one meanwhile.
        const QPointer<QLineEdit> guarded(password);
        password->setText(loadRememberedPassword([guarded](const QString& stored) {
            if (guarded && guarded->text().isEmpty())
                guarded->setText(stored);
        }));
    }
}

void ConnectionFields::saveRemembered() const
{
    for (const ConnectionField field : AllFields)
        if (const SettingKey* key = rememberedKey(field); key && box(field))
            SaveSetting(SettingsApplication, SettingsSection, key->writtenAs, box(field)->text());
    if (const QLineEdit* password = box(ConnectionField::Password))
        saveRememberedPassword(password->text());
}

bool ConnectionFields::checkEachFilled(QWidget* parent) const
{
    ConnectionTexts values = texts();
    // A box the window does not have is never refused.
    for (const ConnectionField field : AllFields)
        if (!box(field))
            values[static_cast<std::size_t>(field)] = QStringLiteral("-");
    const std::optional<ConnectionField> empty = firstEmptyConnectionField(values);
    if (!empty)
        return true;
    prompts().message(parent, connectionFieldRefusal(*empty), QStringLiteral("Message"), MsgIcon::Critical);
    box(*empty)->setFocus();
    return false;
}

void ConnectionFields::copyToSharedParameters() const
{
    ConnectionParameters& p = ConnParams();
    p.DriverName = text(ConnectionField::Driver);
    p.ServerName = text(ConnectionField::Server);
    p.DatabaseName = text(ConnectionField::Database);
    p.LoginId = text(ConnectionField::Login);
    p.LoginPassword = text(ConnectionField::Password);
    saveRemembered();
}

QString ConnectionFields::prepareSharedConnection() const
{
    copyToSharedParameters();
    return buildSharedConnectionString();
}

void ConnectionFields::runSharedConnection() const
{
    copyToSharedParameters();
    ConnectDSN();
}

} // namespace zobran
