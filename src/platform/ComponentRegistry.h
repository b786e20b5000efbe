#pragma once

#include "platform/ComObject.h"
#include "vb/ComError.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Creates objects by programmatic name, as the system's component registry does: from
// factories registered in this process (the system's own "Scripting.FileSystemObject" among
// them from the start), else from the registry file's in-process servers.
// One per process; used from the one user-interface thread.
class ComponentRegistry {
public:
    using Factory = std::function<std::shared_ptr<ComObject>()>;

    // The registry of this process.
    static ComponentRegistry& instance();

    // Makes progId (any letter case) create its objects with factory, ahead of the registry
    // file; replaces an earlier factory of that name.
    void registerFactory(std::string_view progId, Factory factory);
    // Forgets the in-process factory of progId; an unknown name is ignored.
    void unregisterFactory(std::string_view progId);

    // A new object of the class named progId. An unknown name raises 429; so does a damaged
    // registry file, or a library that cannot be loaded, lacks the exports or does not make the
    // object, with a description naming the problem and the path. Errors of the factory itself
    // pass unchanged.
    std::shared_ptr<ComObject> create(std::string_view progId);

    // A new object of the class named progId from the registry file's servers alone, passing over
    // any in-process factory of that name (so that a factory can wrap the registered class);
    // raises as create does.
    std::shared_ptr<ComObject> createFromServer(std::string_view progId);

    // create, cast to the interface I; an object without it raises 438.
    template <class I>
    std::shared_ptr<I> createAs(std::string_view progId)
    {
        auto object = std::dynamic_pointer_cast<I>(create(progId));
        if (!object)
            vb::raise(vb::err::kNotSupported);
        return object;
    }

    // Loads the library and runs its DllRegisterServer; failure raises 429 naming the library.
    void registerServer(const std::filesystem::path& library);
    // Loads the library and runs its DllUnregisterServer; failure raises 429 naming the library.
    void unregisterServer(const std::filesystem::path& library);

private:
    // Knows the classes the system itself provides.
    ComponentRegistry();

    // The library loaded once and kept for the rest of the process: objects it made may still
    // be alive anywhere, so it is never closed.
    void* loadLibrary(const std::filesystem::path& library);
    void* entryPoint(const std::filesystem::path& library, const char* name);

    std::map<std::string, Factory> factories_;
    std::map<std::string, void*> libraries_;
};

}  // namespace platform
