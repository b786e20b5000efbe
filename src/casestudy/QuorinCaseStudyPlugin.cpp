#include "casestudy/clsCaseStudy.h"
#include "platform/InProcessServer.h"

namespace {

platform::InProcessServer& server()
{
    static platform::InProcessServer instance({{
        std::string(quorin::casestudy::clsCaseStudy::kProgId),
        std::string(quorin::casestudy::clsCaseStudy::kClassId),
        [] { return std::static_pointer_cast<platform::ComObject>(std::make_shared<quorin::casestudy::clsCaseStudy>()); },
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
