#include "database/Errors.h"

#include <utility>

DatabaseError::DatabaseError(std::string message, long sqlCode, long errorCode)
    : std::runtime_error(std::move(message)), sqlCode_(sqlCode), errorCode_(errorCode) {}
