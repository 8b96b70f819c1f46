#pragma once

class QWidget;

namespace zobran {

// The main window's "Extra Connection Settings": asks for a server (the remembered one offered),
// then for its extra connection settings (its current ones offered) with the input box, and
// remembers them. Refused settings are shown with the reason and asked for again; cancelling
// either box changes nothing.
void editExtraConnectionSettings(QWidget* parent);

} // namespace zobran
