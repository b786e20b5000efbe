#pragma once

#include "platform/ComObject.h"
#include "platform/RegistryFile.h"
#include "vb/Strings.h"

#include <atomic>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Hands out new objects of one class of an in-process server.
class ClassFactory {
public:
    virtual ~ClassFactory() = default;

    // A new object of the class, or null when none can be made.
    virtual std::shared_ptr<ComObject> createInstance() = 0;
};

// Results of the four entry points.
inline constexpr int kServerOk = 0;  // done; for DllCanUnloadNow, no object is alive
inline constexpr int kServerBusy = 1;  // DllCanUnloadNow: objects of the library are alive
inline constexpr int kServerClassNotAvailable = 2;  // DllGetClassObject: no class with that identifier
inline constexpr int kServerFailed = 3;  // the registry file could not be read or written

// The entry points an in-process server library exports with C linkage, by these names.
// int DllRegisterServer(): writes an entry for each of its classes, with the library's own
//     absolute path, into the registry file RegistryFile::defaultPath() names.
// int DllUnregisterServer(): removes its entries (its names and its library) from that file.
// int DllGetClassObject(const char* classId, ClassFactory** factory): sets *factory to the
//     factory of that class, owned by the library and valid while it stays loaded.
// int DllCanUnloadNow(): kServerOk when no object created by the library is alive, else kServerBusy.
// None of them throws.
using RegisterServerFunction = int (*)();
using UnregisterServerFunction = int (*)();
using GetClassObjectFunction = int (*)(const char* classId, ClassFactory** factory);
using CanUnloadNowFunction = int (*)();

inline constexpr const char* kRegisterServerSymbol = "DllRegisterServer";
inline constexpr const char* kUnregisterServerSymbol = "DllUnregisterServer";
inline constexpr const char* kGetClassObjectSymbol = "DllGetClassObject";
inline constexpr const char* kCanUnloadNowSymbol = "DllCanUnloadNow";

// The absolute path of the loaded shared library (or program) holding address; empty when no
// loaded file holds it.
inline std::filesystem::path libraryPathOf(const void* address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname || !*info.dli_fname)
        return {};
    std::error_code error;
    const auto path = std::filesystem::absolute(info.dli_fname, error);
    return error ? std::filesystem::path() : path.lexically_normal();
}

// One class an in-process server offers.
struct ServerClass {
    std::string progId;
    std::string classId;
    std::function<std::shared_ptr<ComObject>()> create;
};

// The four entry points of a plug-in over one table of classes. The server must be a static
// object of the plug-in (its own address names the library it registers), and the plug-in
// exports the entry points with PLATFORM_EXPORT_IN_PROCESS_SERVER:
//
//   platform::InProcessServer& server() { static platform::InProcessServer s({{...}}); return s; }
//   PLATFORM_EXPORT_IN_PROCESS_SERVER(server())
class InProcessServer {
public:
    explicit InProcessServer(std::vector<ServerClass> classes)
    {
        for (auto& entry : classes)
            factories_.push_back(std::make_unique<Factory>(std::move(entry), live_));
    }

    InProcessServer(const InProcessServer&) = delete;
    InProcessServer& operator=(const InProcessServer&) = delete;

    // DllRegisterServer: adds every class with this library's path to the registry file.
    int registerServer() noexcept
    {
        return editRegistry([this](RegistryFile& registry, const std::filesystem::path& library) {
            for (const auto& factory : factories_)
                registry.add({factory->entry.progId, factory->entry.classId, library});
            return true;
        });
    }

    // DllUnregisterServer: removes every name of this table and every entry of this library.
    int unregisterServer() noexcept
    {
        return editRegistry([this](RegistryFile& registry, const std::filesystem::path& library) {
            std::size_t removed = registry.removeLibrary(library);
            for (const auto& factory : factories_)
                removed += registry.removeProgId(factory->entry.progId);
            return removed > 0;
        });
    }

    // DllGetClassObject: the factory of the class with that identifier.
    int getClassObject(const char* classId, ClassFactory** factory) noexcept
    {
        if (!factory)
            return kServerClassNotAvailable;
        *factory = nullptr;
        if (!classId)
            return kServerClassNotAvailable;
        for (const auto& candidate : factories_) {
            if (vb::equalsIgnoreCase(candidate->entry.classId, classId)) {
                *factory = candidate.get();
                return kServerOk;
            }
        }
        return kServerClassNotAvailable;
    }

    // DllCanUnloadNow: whether every object this server created has been released.
    int canUnloadNow() const noexcept { return live_.load() == 0 ? kServerOk : kServerBusy; }

private:
    // Wraps each object so that its release is counted, whoever holds the last reference.
    class Factory final : public ClassFactory {
    public:
        Factory(ServerClass entry, std::atomic<long>& live) : entry(std::move(entry)), live_(live) {}

        std::shared_ptr<ComObject> createInstance() override
        {
            auto object = entry.create ? entry.create() : nullptr;
            if (!object)
                return nullptr;
            ++live_;
            auto* raw = object.get();
            return std::shared_ptr<ComObject>(raw, [object = std::move(object), &live = live_](ComObject*) mutable {
                object.reset();
                --live;
            });
        }

        ServerClass entry;

    private:
        std::atomic<long>& live_;
    };

    template <class Edit>
    int editRegistry(Edit edit) noexcept
    {
        try {
            const auto library = libraryPathOf(this);
            if (library.empty())
                return kServerFailed;
            auto registry = RegistryFile::load(RegistryFile::defaultPath());
            if (edit(registry, library))
                registry.save();
            return kServerOk;
        } catch (...) {
            return kServerFailed;
        }
    }

    std::atomic<long> live_{0};
    std::vector<std::unique_ptr<Factory>> factories_;
};

}  // namespace platform

extern "C" {
int DllRegisterServer();
int DllUnregisterServer();
int DllGetClassObject(const char* classId, platform::ClassFactory** factory);
int DllCanUnloadNow();
}

// Defines the four exported entry points of a plug-in, each forwarding to the member of the
// same role of server (an expression naming the plug-in's InProcessServer).
#define PLATFORM_EXPORT_IN_PROCESS_SERVER(server)                                                                      \
    extern "C" int DllRegisterServer()                                                                                 \
    {                                                                                                                  \
        return (server).registerServer();                                                                              \
    }                                                                                                                  \
    extern "C" int DllUnregisterServer()                                                                               \
    {                                                                                                                  \
        return (server).unregisterServer();                                                                            \
    }                                                                                                                  \
    extern "C" int DllGetClassObject(const char* classId, platform::ClassFactory** factory)                            \
    {                                                                                                                  \
        return (server).getClassObject(classId, factory);                                                              \
    }                                                                                                                  \
    extern "C" int DllCanUnloadNow()                                                                                   \
    {                                                                                                                  \
        return (server).canUnloadNow();                                                                                \
    }
