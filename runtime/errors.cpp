#include "runtime/errors.h"

namespace runtime {

ConvertError::ConvertError(std::string_view text)
    : Failure("'" + std::string(text) + "' is not a valid integer value") {}

FileError::FileError(std::string_view name, platform::Error cause)
    : Failure("Cannot open file " + std::string(name), std::move(cause)) {}

FileCreateError::FileCreateError(std::string_view name, platform::Error cause)
    : Failure("Cannot create file " + std::string(name), std::move(cause)) {}

}  // namespace runtime
