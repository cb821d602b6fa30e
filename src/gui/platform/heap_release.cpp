#include "gui/platform/heap_release.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace veltrix::platform {

void HeapRelease::ReleaseIfDue() {
    if (pending_ < kBurst) {
        return;
    }
    pending_ = 0;
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

}  // namespace veltrix::platform
