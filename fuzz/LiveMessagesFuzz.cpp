// What a live page sends, one message a line, to a live visit of a small item: whatever arrives,
// the visit goes on and its view can still be drawn.
#include "FuzzSupport.h"
#include "component/clsMultipleChoice.h"
#include "host/driver/InputFiles.h"
#include "host/driver/Session.h"
#include "host/live/LiveServer.h"
#include "host/live/LiveVisit.h"
#include "platform/ComponentRegistry.h"
#include "platform/EventLoop.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kMaxMessages = 64;

constexpr const char* kItem = R"(<?xml version="1.0" encoding="utf-8"?>
<MultipleChoiceItem Language="ENU" ResponseType="X" CaseCode="NONE">
  <ItemStem><Heading>Q</Heading><Text><![CDATA[<html><body><p>Pick two.</p></body></html>]]></Text></ItemStem>
  <Choices Max="2" Min="1" RandomOrder="false">
    <Choice AnswerID="A"><![CDATA[<html><body>one</body></html>]]></Choice>
    <Choice AnswerID="B"><![CDATA[<html><body>two</body></html>]]></Choice>
    <Choice AnswerID="C"><![CDATA[<html><body>three</body></html>]]></Choice>
  </Choices>
  <Answers><Answer Expression="A AND B AND ONLY" Weight="1"/></Answers>
</MultipleChoiceItem>)";

std::unique_ptr<velm::host::LiveServer> server;

velm::host::VisitSettings visitSettings()
{
    velm::host::VisitSettings settings;
    settings.session.staticStrings = velm::host::bundledStaticStrings();
    settings.session.supportDir = fuzzSupportDir();
    settings.itemXml = kItem;
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    platform::ComponentRegistry::instance().registerFactory(std::string(velm::host::Session::kMultipleChoiceProgId),
                                                            [] { return quorin::clsMultipleChoice::create(); });
    server = std::make_unique<velm::host::LiveServer>(velm::host::LiveServerSettings{});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    {
        velm::host::LiveVisit live(*server, visitSettings());
        if (!live.open())
            __builtin_trap();
        for (std::size_t i = 0; i < kMaxMessages && !input.empty(); ++i) {
            const auto end = input.find('\n');
            server->onMessage(std::string(input.substr(0, end)));
            input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
            live.handleWaiting();
            if (!live.viewMessage().contains("screen"))
                __builtin_trap();
        }
    }
    platform::EventLoop::current().clear();
    return 0;
}
