#include "platform/BrowserEngine.h"

#include "platform/HeadlessBrowserEngine.h"

#include <utility>

namespace platform {
namespace {

std::shared_ptr<BrowserEngine>& currentEngine()
{
    static std::shared_ptr<BrowserEngine> engine = std::make_shared<HeadlessBrowserEngine>();
    return engine;
}

}  // namespace

std::shared_ptr<BrowserEngine> BrowserEngine::current()
{
    return currentEngine();
}

void BrowserEngine::setCurrent(std::shared_ptr<BrowserEngine> engine)
{
    currentEngine() = engine ? std::move(engine) : std::make_shared<HeadlessBrowserEngine>();
}

}  // namespace platform
