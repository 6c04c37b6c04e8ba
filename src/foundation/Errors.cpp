#include "foundation/Errors.h"

namespace tessel {

ListIndexError::ListIndexError(long long index)
    : TesselError(Message("Index de liste hors limites (") + std::to_string(index) + ")"), index_(index) {}

} // namespace tessel
