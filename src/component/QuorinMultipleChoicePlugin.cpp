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

PLATFORM_EXPORT_IN_PROCESS_SERVER(server())
