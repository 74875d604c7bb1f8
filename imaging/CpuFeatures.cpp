#include "imaging/CpuFeatures.h"

namespace varnolux {

bool HasAvx2()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
#else
    return false;
#endif
}

} // namespace varnolux
