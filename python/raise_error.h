#pragma once
// The engine's failures as the Python exceptions of trelmox.errors.
#include "model/error.h"

namespace trelmox {

// Sets the Python exception of the failure's kind (a missing file:
// trelmox.errors.MissingFileError, also a FileNotFoundError), carrying the
// message the tool prints and the failure's source.
void raiseError(const Error& failure);

} // namespace trelmox
