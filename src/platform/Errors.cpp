#include "platform/Errors.h"

Exception::Exception(const QString& message)
    : message_(message)
    , utf8_(message.toUtf8())
{
}

EInOutError::EInOutError(const QString& message, int errorCode)
    : Exception(message)
    , errorCode_(errorCode)
{
}
