#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace zobran {

// The three texts of the record counter of the Generate Script window.
struct RecordCountTexts {
    QString totalRecords;   // the sum of the record counts
    QString recordsPerFile; // total / per, rounded half to even
    QString per;            // the number of files wished; "1" when its leading number was 0
};

// From the "per" text and the record count of every listed query.
RecordCountTexts countRecords(const QString& perText, const std::vector<long>& recordCounts);

// The same, counting each query through countRows (the window opens it on the shared connection
// and takes its record count). An error of countRows leaves this function.
RecordCountTexts countRecords(const QString& perText, const QStringList& queries,
                              const std::function<long(const QString& sql)>& countRows);

} // namespace zobran
