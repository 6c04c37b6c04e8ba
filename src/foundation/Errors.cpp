#include "foundation/Errors.h"

namespace tessel {

ListIndexError::ListIndexError(long long index)
    : TesselError("Index de liste hors limites (" + std::to_string(index) + ")"), index_(index) {}

} // namespace tessel
