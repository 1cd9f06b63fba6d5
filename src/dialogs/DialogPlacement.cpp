#include "dialogs/DialogPlacement.h"

namespace DialogPlacement {

int CentreInsideWorkArea(int ownerStart, int ownerExtent, int extent, int workAreaExtent) {
    int start = ownerStart + (ownerExtent - extent) / 2;
    if (start + extent > workAreaExtent) {
        start = workAreaExtent - extent;
    }
    return start < 0 ? 0 : start;
}

int CentreNotNegative(int ownerStart, int ownerExtent, int extent) {
    const int start = ownerStart + (ownerExtent - extent) / 2;
    return start < 0 ? 0 : start;
}

} // namespace DialogPlacement
