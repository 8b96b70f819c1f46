#include "generate/RecordCounter.h"

#include "generate/LeadingNumber.h"

namespace zobran {

RecordCountTexts countRecords(const QString& perText, const std::vector<long>& recordCounts)
{
    RecordCountTexts texts;
    texts.per = leadingNumber(perText) == 0.0 ? QStringLiteral("1") : perText;

    double total = 0;
    for (const long count : recordCounts)
        total += static_cast<double>(count);
    texts.totalRecords = wholeNumberText(total);
    texts.recordsPerFile = wholeNumberText(roundHalfEven(total / leadingNumber(texts.per)));
    return texts;
}

RecordCountTexts countRecords(const QString& perText, const QStringList& queries,
                              const std::function<long(const QString& sql)>& countRows)
{
    std::vector<long> counts;
    counts.reserve(static_cast<std::size_t>(queries.size()));
    for (const QString& sql : queries)
        counts.push_back(countRows(sql));
    return countRecords(perText, counts);
}

} // namespace zobran
