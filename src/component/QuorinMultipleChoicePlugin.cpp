#include "component/clsMultipleChoice.h"
#include "platform/InProcessServer.h"

namespace {

platform::InProcessServer& server()
{
    static platform::InProcessServer instance({{
        std::string(quorin::clsMultipleChoice::kProgId),
        std::string(quorin::clsMultipleChoice::kClassId),
        [] { return std::static_pointer_cast<platform::ComObject>(quorin::clsMultipleChoice::create()); },
    }});
    return instance;
}

}  // namespace

extern "C" {

int DllRegisterServer() { return server().registerServer(); }
int DllUnregisterServer() { return server().unregisterServer(); }
int DllGetClassObject(const char* classId, platform::ClassFactory** factory)
{
    return server().getClassObject(classId, factory);
}
int DllCanUnloadNow() { return server().canUnloadNow(); }

}
