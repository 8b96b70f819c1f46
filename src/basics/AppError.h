#pragma once

#include <QString>

#include <exception>
#include <string>

namespace zobran {

// The error numbers the program raises itself, where no driver number applies.
namespace errnum {
constexpr long ObjectNotSet = 91; // no connection object exists
constexpr long FileNotFound = 53;
constexpr long PathFileAccess = 75; // a file or folder cannot be created, opened or written
constexpr long PathNotFound = 76;
constexpr long InvalidArgument = 5;
constexpr long OutOfMemory = 7;
constexpr long ObjectClosed = 3704;       // the operation needs an open object
constexpr long ObjectOpen = 3705;         // the operation needs a closed object
constexpr long OperationCancelled = 3712; // the user stopped the run
} // namespace errnum

// A failure travelling up to the one place per operation that reports it:
// an error number and a description, as the error window shows them.
class AppError : public std::exception {
public:
    AppError(long number, QString description);

    long number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    long number_;
    QString description_;
    std::string what_;
};

// Turns any exception caught at a reporting point into number and description.
AppError toAppError(const std::exception& e);

} // namespace zobran
