#pragma once

#include <QString>

#include <array>
#include <optional>

class QLineEdit;
class QWidget;

namespace zobran {

// The five connection values of a window, in the order they are checked.
enum class ConnectionField { Driver, Server, Database, Login, Password };
constexpr int ConnectionFieldCount = 5;

using ConnectionTexts = std::array<QString, ConnectionFieldCount>;

// The first field whose text is empty (blanks count as text), in the order above.
std::optional<ConnectionField> firstEmptyConnectionField(const ConnectionTexts& texts);

// "Invalid Driver !!!", "Invalid Server Name !!!", "Invalid Database Name !!!", "Invalid User ID !!!",
// "Invalid Password !!!".
QString connectionFieldRefusal(ConnectionField field);

// A window's connection boxes. Windows without a driver or database box leave those null; every
// step below skips a box that is not there.
class ConnectionFields {
public:
    ConnectionFields() = default;
    ConnectionFields(QLineEdit* driver, QLineEdit* server, QLineEdit* database, QLineEdit* login, QLineEdit* password);

    QLineEdit* box(ConnectionField field) const { return boxes_[static_cast<std::size_t>(field)]; }
    QString text(ConnectionField field) const;
    ConnectionTexts texts() const;

    // Server, database, login and password from the remembered settings (empty when missing). A
    // password the secret store keeps fills the password box when the store answers.
    void loadRemembered() const;
    // Writes them back, in that order; the password goes to the secret store when one runs.
    void saveRemembered() const;

    // Refuses the first empty box with its message (title "Message", critical icon) and puts the
    // focus there; true when every box holds text.
    bool checkEachFilled(QWidget* parent) const;

    // The connect step of the windows that share the ODBC connection: the five texts become the
    // shared connection parameters, the four values are remembered (also when the connection then
    // fails), and the shared connection is opened anew through ConnectDSN, which reports its own
    // failure.
    void runSharedConnection() const;
    // Its first part, for a connection that opens on a run's thread: the texts become the shared
    // parameters, the values are remembered, and the connection string is built and returned.
    QString prepareSharedConnection() const;

private:
    // The texts become the shared parameters; the values are remembered.
    void copyToSharedParameters() const;

    std::array<QLineEdit*, ConnectionFieldCount> boxes_{};
};

} // namespace zobran
