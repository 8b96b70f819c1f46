#pragma once

#include <QString>

#include <functional>

namespace zobran {

// The remembered password (settingkeys::Password) lives in the desktop's secret store when one is
// running, and in the settings file otherwise, which is then readable by its owner only. A password
// found in the file (earlier settings, or one saved while no store ran) is moved into the store as
// soon as one answers, and removed from the file then.

// The name the password is kept under in the secret store.
inline const QString PasswordSecretName = QStringLiteral("ORMIND/GeneralSetting/cPassword");

// The password of the settings file ("" when none). When the file has none and a secret store
// runs, fromStore is called later with the one the store keeps (only when it keeps one); the
// caller makes sure it can still run by then. A password found in the file is moved into the
// store when one runs.
QString loadRememberedPassword(std::function<void(const QString&)> fromStore);

// Remembers the password: into the secret store when one runs (then out of the file), otherwise
// into the settings file. Where the store is not known to be absent, the file is written only when
// the store has answered that it cannot take it.
void saveRememberedPassword(const QString& password);

// What the last answer of the secret store said about it.
enum class SecretStoreState { Unknown, Running, Absent };
SecretStoreState lastSecretStoreState();
void forgetSecretStoreState(); // back to Unknown, as at start-up (for tests)

} // namespace zobran
