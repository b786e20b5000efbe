#include "TestWidget.h"

#include "platform/InProcessServer.h"

namespace {

class Widget final : public platform::ComObject, public quorin_test::WidgetInt {
public:
    std::string name() const override { return "widget from the plug-in"; }
};

class Plain final : public platform::ComObject {};

platform::InProcessServer& server()
{
    static platform::InProcessServer instance({
        {quorin_test::kWidgetProgId, quorin_test::kWidgetClassId, [] { return std::make_shared<Widget>(); }},
        {quorin_test::kPlainProgId, quorin_test::kPlainClassId, [] { return std::make_shared<Plain>(); }},
    });
    return instance;
}

}  // namespace

PLATFORM_EXPORT_IN_PROCESS_SERVER(server())
