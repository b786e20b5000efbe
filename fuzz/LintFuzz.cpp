#include "component/clsMultipleChoice.h"
#include "host/batch/ItemLint.h"
#include "host/driver/InputFiles.h"
#include "host/driver/Session.h"
#include "platform/ComponentRegistry.h"
#include "platform/EventLoop.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    platform::ComponentRegistry::instance().registerFactory(std::string(velm::host::Session::kMultipleChoiceProgId),
                                                            [] { return quorin::clsMultipleChoice::create(); });
    return 0;
}

// Any bytes as an item file: lint reports what it finds, every finding within the file's lines.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto folder = [] {
        const auto path = std::filesystem::temp_directory_path() / ("velm-lint-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    static const auto file = folder / "item.xml";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    static const velm::host::ItemLint lint(velm::host::bundledStaticStrings(), folder);
    for (const auto& finding : lint.check(file)) {
        if (finding.line > lines || finding.message.empty())
            __builtin_trap();
    }
    platform::EventLoop::current().clear();
    return 0;
}
