#include "ui/ReportError.h"

#include "errors/ErrorReport.h"
#include "ui/ErrorWindow.h"

namespace zobran {

namespace {

bool isNoConnectionNumber(long number)
{
    return number == errnum::ObjectNotSet || number == errnum::ObjectClosed;
}

} // namespace

void ReportError(const QString& formName, const QString& subName, const AppError& error, ReportMode mode)
{
    ErrorReport& report = ErrReport();
    report.ErrFormName = formName;
    report.ErrNum = QString::number(error.number());
    report.ErrDesc = error.description();
    report.ErrSubName = subName;

    if (mode == ReportMode::QuietWhenNoConnection && isNoConnectionNumber(error.number()))
        return;

    // Loading the window shows and logs the report; closing it empties the report.
    errorWindow().showModal();
}

bool reportRunFailure(const QString& formName, const QString& subName, const std::exception_ptr& failure)
{
    if (!failure)
        return false;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        ReportError(formName, subName, toAppError(e));
    }
    return true;
}

QString arrayClickName(const QString& arrayPrefix, int index)
{
    return arrayPrefix + QString::number(index) + QStringLiteral("_Click");
}

void DeferredReports::add(const QString& formName, const QString& subName, const AppError& error, ReportMode mode)
{
    failures_.push_back(Failure{formName, subName, error, mode});
}

void DeferredReports::reportAll()
{
    std::vector<Failure> failures = std::move(failures_);
    failures_.clear();
    for (const Failure& f : failures)
        ReportError(f.formName, f.subName, f.error, f.mode);
}

} // namespace zobran
