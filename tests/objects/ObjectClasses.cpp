#include "ObjectFixture.h"

namespace tessel::test {

TESSEL_DEFINE_CLASS(Chose, MObject_OCS)
TESSEL_DEFINE_CLASS(ChoseSpeciale, Chose)
TESSEL_DEFINE_CLASS(Rangement, TObjRec)
TESSEL_DEFINE_CLASS(Rangee, MOBJ_AVEC_OBJ_REC)

} // namespace tessel::test
