// Opening libheif by its file name, once, and finding the functions the decoder calls.
#include "Libheif.h"

#include <dlfcn.h>

namespace morvane::heif {

bool libheifOpened()
{
    static const bool opened = [] {
        // Never closed: the decoder may be asked again at any time.
        void *library = ::dlopen(MORVANE_LIBHEIF_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return false;
        bool found = true;
#define MORVANE_LIBHEIF_FIND(name)                                                                 \
    name = reinterpret_cast<decltype(name)>(::dlsym(library, #name));                              \
    found = found && name;
        MORVANE_LIBHEIF_CALLS(MORVANE_LIBHEIF_FIND)
#undef MORVANE_LIBHEIF_FIND
        return found;
    }();
    return opened;
}

} // namespace morvane::heif
