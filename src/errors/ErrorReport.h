#pragma once

#include <QString>

namespace zobran {

// The one program-wide error report. All four fields are empty text while no report is pending;
// a new report overwrites the previous one.
struct ErrorReport {
    QString ErrNum; // the error number in decimal
    QString ErrDesc;
    QString ErrFormName; // owner window name, or "Module1" for the shared module
    QString ErrSubName;  // fixed name of the failing operation

    bool isEmpty() const
    {
        return ErrNum.isEmpty() && ErrDesc.isEmpty() && ErrFormName.isEmpty() && ErrSubName.isEmpty();
    }
};

ErrorReport& ErrReport();

} // namespace zobran
