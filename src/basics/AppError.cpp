#include "basics/AppError.h"

#include <new>

namespace zobran {

AppError::AppError(long number, QString description)
    : number_(number),
      description_(std::move(description)),
      what_(QString::number(number_).toStdString() + ": " + description_.toStdString())
{
}

AppError toAppError(const std::exception& e)
{
    if (const auto* app = dynamic_cast<const AppError*>(&e))
        return *app;
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return AppError(errnum::OutOfMemory, QStringLiteral("Out of memory"));
    return AppError(errnum::InvalidArgument, QString::fromLocal8Bit(e.what()));
}

} // namespace zobran
