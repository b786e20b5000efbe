#include "platform/ComponentRegistry.h"

#include "platform/FileSystemObject.h"
#include "platform/InProcessServer.h"
#include "platform/RegistryFile.h"
#include "vb/Strings.h"

#include <dlfcn.h>

namespace platform {
namespace {

[[noreturn]] void raiseCannotCreate(const std::string& problem)
{
    throw vb::ComError(vb::err::kCannotCreateObject,
                       std::string(vb::runtimeDescription(vb::err::kCannotCreateObject)) + ": " + problem);
}

std::string quoted(const std::filesystem::path& path)
{
    return "\"" + path.string() + "\"";
}

}  // namespace

ComponentRegistry::ComponentRegistry()
{
    registerFactory(FileSystemObject::kProgId, [] { return std::make_shared<FileSystemObject>(); });
}

ComponentRegistry& ComponentRegistry::instance()
{
    static ComponentRegistry registry;
    return registry;
}

void ComponentRegistry::registerFactory(std::string_view progId, Factory factory)
{
    factories_[vb::upperAscii(progId)] = std::move(factory);
}

void ComponentRegistry::unregisterFactory(std::string_view progId)
{
    factories_.erase(vb::upperAscii(progId));
}

std::shared_ptr<ComObject> ComponentRegistry::create(std::string_view progId)
{
    if (const auto it = factories_.find(vb::upperAscii(progId)); it != factories_.end()) {
        // A copy, because the factory may unregister itself while it runs.
        const Factory factory = it->second;
        auto object = factory ? factory() : nullptr;
        if (!object)
            vb::raise(vb::err::kCannotCreateObject);
        return object;
    }
    return createFromServer(progId);
}

std::shared_ptr<ComObject> ComponentRegistry::createFromServer(std::string_view progId)
{
    const auto entry = RegistryFile::load(RegistryFile::defaultPath()).findByProgId(progId);
    if (!entry)
        vb::raise(vb::err::kCannotCreateObject);
    const auto getClassObject =
        reinterpret_cast<GetClassObjectFunction>(entryPoint(entry->library, kGetClassObjectSymbol));
    ClassFactory* factory = nullptr;
    if (getClassObject(entry->classId.c_str(), &factory) != kServerOk || !factory)
        raiseCannotCreate("library " + quoted(entry->library) + " has no class " + entry->classId);
    auto object = factory->createInstance();
    if (!object)
        raiseCannotCreate("library " + quoted(entry->library) + " made no object of class " + entry->classId);
    return object;
}

void ComponentRegistry::registerServer(const std::filesystem::path& library)
{
    const auto run = reinterpret_cast<RegisterServerFunction>(entryPoint(library, kRegisterServerSymbol));
    if (const int result = run(); result != kServerOk)
        raiseCannotCreate(std::string(kRegisterServerSymbol) + " of " + quoted(library) + " failed with code "
                          + std::to_string(result));
}

void ComponentRegistry::unregisterServer(const std::filesystem::path& library)
{
    const auto run = reinterpret_cast<UnregisterServerFunction>(entryPoint(library, kUnregisterServerSymbol));
    if (const int result = run(); result != kServerOk)
        raiseCannotCreate(std::string(kUnregisterServerSymbol) + " of " + quoted(library) + " failed with code "
                          + std::to_string(result));
}

void* ComponentRegistry::loadLibrary(const std::filesystem::path& library)
{
    std::error_code error;
    const auto path = std::filesystem::absolute(library, error).lexically_normal();
    // An empty name would make dlopen hand back the program itself.
    if (library.empty() || path.empty())
        raiseCannotCreate("cannot load library " + quoted(library));
    if (const auto it = libraries_.find(path.string()); it != libraries_.end())
        return it->second;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        raiseCannotCreate("cannot load library " + quoted(path)
                          + (reason ? std::string(": ") + reason : std::string()));
    }
    libraries_.emplace(path.string(), handle);
    return handle;
}

void* ComponentRegistry::entryPoint(const std::filesystem::path& library, const char* name)
{
    void* handle = loadLibrary(library);
    dlerror();
    void* symbol = dlsym(handle, name);
    if (!symbol)
        raiseCannotCreate("library " + quoted(library) + " does not export " + name);
    return symbol;
}

}  // namespace platform
