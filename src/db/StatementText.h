#pragma once

#include <QString>

namespace zobran::db {

// Raises (number 5) when a text cannot go to the driver as it stands: a U+0000 in it would end the
// statement there and the server would run what comes before it.
void refuseUnsendableText(const QString& text);

} // namespace zobran::db
