#include "casestudy/clsCaseStudy.h"
#include "platform/InProcessServer.h"

namespace {

platform::InProcessServer& server()
{
    static platform::InProcessServer instance({{
        std::string(quorin::casestudy::clsCaseStudy::kProgId),
        std::string(quorin::casestudy::clsCaseStudy::kClassId),
        [] {
            return std::static_pointer_cast<platform::ComObject>(std::make_shared<quorin::casestudy::clsCaseStudy>());
        },
    }});
    return instance;
}

}  // namespace

PLATFORM_EXPORT_IN_PROCESS_SERVER(server())
