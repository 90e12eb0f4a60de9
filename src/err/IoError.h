#pragma once

#include "err/Error.h"

namespace err {

// A failed file or storage operation.
class IoError : public Error
{
public:
    using Error::Error;
};

} // namespace err
