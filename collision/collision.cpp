// Segment/triangle and segment/quad intersection.
#include <tvx_collision/collision.h>
