// Opening libjxl and its threads by their file names, once, and finding the functions called.
#include "Libjxl.h"

#include <dlfcn.h>

namespace morvane::jxl {

bool libjxlOpened()
{
    static const bool opened = [] {
        // Never closed: the decoder may be asked again at any time.
        void *decoder = ::dlopen(MORVANE_LIBJXL_SONAME, RTLD_NOW | RTLD_LOCAL);
        void *threads = ::dlopen(MORVANE_LIBJXL_THREADS_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (!decoder || !threads)
            return false;
        bool found = true;
#define MORVANE_LIBJXL_FIND_IN(library, name)                                                      \
    name = reinterpret_cast<decltype(name)>(::dlsym(library, #name));                              \
    found = found && name;
#define MORVANE_LIBJXL_FIND(name) MORVANE_LIBJXL_FIND_IN(decoder, name)
#define MORVANE_LIBJXL_THREADS_FIND(name) MORVANE_LIBJXL_FIND_IN(threads, name)
        MORVANE_LIBJXL_CALLS(MORVANE_LIBJXL_FIND)
        MORVANE_LIBJXL_THREADS_CALLS(MORVANE_LIBJXL_THREADS_FIND)
#undef MORVANE_LIBJXL_THREADS_FIND
#undef MORVANE_LIBJXL_FIND
#undef MORVANE_LIBJXL_FIND_IN
        return found;
    }();
    return opened;
}

} // namespace morvane::jxl
