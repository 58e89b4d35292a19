// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "SdlLibrary.h"

#include <dlfcn.h>

namespace sdl_library {

void* open(std::string& error)
{
    // By its name, as a linked library would be found: the program's RPATH names the folder's
    // lib/ before anything a launcher's LD_LIBRARY_PATH adds. Global, and its functions looked up
    // by name in the whole process below, so that a tool loaded ahead of it (Steam's overlay,
    // the tests' virtual pad) sees the calls as it would had the program been linked with it.
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "libSDL2-2.0.so.0 cannot be loaded";
    }
    return library;
}

void* function(void* /*library*/, const char* name)
{
    return dlsym(RTLD_DEFAULT, name);
}

void dispatchThreadMessages() {}

} // namespace sdl_library
