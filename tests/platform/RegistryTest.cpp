#include "PlatformTesting.h"

#include "platform/ComponentRegistry.h"
#include "platform/InProcessServer.h"
#include "platform/RegistryFile.h"
#include "registry/TestWidget.h"

#include <cstdlib>
#include <dlfcn.h>
#include <optional>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using namespace quorin_test;
using platform::RegistryEntry;
using platform::RegistryFile;
using platform_testing::errorOf;
using Entries = std::vector<RegistryEntry>;

const fs::path kPlugin = fs::absolute(VELM_TEST_PLUGIN_PATH).lexically_normal();
const fs::path kPlatformLibrary = fs::absolute(VELM_PLATFORM_LIBRARY_PATH).lexically_normal();

// Sets an environment variable (nullptr: unsets it) and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The number action raises, or -1 when the description it raises with does not mention text.
std::int32_t raisedMentioning(const std::function<void()>& action, const std::string& text)
{
    const auto error = errorOf(action);
    return error.description.find(text) != std::string::npos ? error.number : -1;
}

class RegistryTest : public platform_testing::TempFolderTest {
protected:
    platform::ComponentRegistry& registry = platform::ComponentRegistry::instance();
    fs::path registryPath = folder / "config" / "registry";
    ScopedEnvironment environment{"VELM_REGISTRY", registryPath.c_str()};
};

TEST_F(RegistryTest, ThePluginRegistersThroughItsExportsCreatesItsClassesByNameAndUnregisters)
{
    RegistryFile other(registryPath);
    other.add({"Other.Thing", "{1}", "/opt/other/libother.so"});
    other.add({kWidgetProgId, "{stale}", "/opt/old/libwidget.so"});
    other.save();

    registry.registerServer(kPlugin);
    registry.registerServer(kPlugin);

    EXPECT_EQ(RegistryFile::load(registryPath).entries(), (Entries{other.entries()[0],
                                                                   {kWidgetProgId, kWidgetClassId, kPlugin},
                                                                   {kPlainProgId, kPlainClassId, kPlugin}}));
    EXPECT_EQ(registry.createAs<WidgetInt>("quorintest.WIDGET")->name(), "widget from the plug-in");
    EXPECT_EQ(errorOf([&] { registry.createAs<WidgetInt>(kPlainProgId); }).number, vb::err::kNotSupported);
    for (const char* name : {"", "QuorinTest", "QuorinTest.Widget2"})
        EXPECT_EQ(raisedMentioning([&] { registry.create(name); }, "ActiveX component can't create object"),
                  vb::err::kCannotCreateObject)
            << name;
    registry.unregisterServer(kPlugin);
    EXPECT_EQ(RegistryFile::load(registryPath).entries(), Entries{other.entries()[0]});
    EXPECT_EQ(errorOf([&] { registry.create(kWidgetProgId); }).number, vb::err::kCannotCreateObject);
}

TEST_F(RegistryTest, BrokenOrUnwritableRegistrationsRaiseA429NamingTheProblem)
{
    const std::string plugin = kPlugin.string();
    const std::string damaged = registryPath.string() + " is damaged at line 2";
    const auto notALibrary = folder / "libtext.so";
    const auto missing = folder / "missing.so";
    const std::pair<std::string, std::string> cases[]{
        {"QuorinTest.Widget", damaged},
        {"QuorinTest.Widget\t{1}", damaged},
        {"QuorinTest.Widget\t{1}\t" + plugin + "\textra", damaged},
        {"QuorinTest.Widget\t\t" + plugin, damaged},
        {"QuorinTest.Widget\t{1}\trelative/libwidget.so", damaged},
        {"QuorinTest.Widget\t{1}\t" + missing.string(), "cannot load library \"" + missing.string()},
        {"QuorinTest.Widget\t{1}\t" + notALibrary.string(), "cannot load library \"" + notALibrary.string()},
        {"QuorinTest.Widget\t{1}\t" + kPlatformLibrary.string(),
         kPlatformLibrary.string() + "\" does not export DllGetClassObject"},
        {"QuorinTest.Widget\t{no such class}\t" + plugin, plugin + "\" has no class {no such class}"},
    };
    fs::create_directories(registryPath.parent_path());
    writeFile(notALibrary, "not a shared library\n");
    for (const auto& [line, problem] : cases) {
        writeFile(registryPath, "# comment\n" + line + "\n");
        EXPECT_EQ(raisedMentioning([&] { registry.create(kWidgetProgId); }, problem), vb::err::kCannotCreateObject)
            << line;
    }
    EXPECT_EQ(
        raisedMentioning([&] { registry.unregisterServer(kPlatformLibrary); }, "does not export DllUnregisterServer"),
        vb::err::kCannotCreateObject);
    writeFile(registryPath, "# header\r\n\r\n   \n  # indented comment\nA.One\t{1}\t/lib/a.so\r\n");
    EXPECT_EQ(RegistryFile::load(registryPath).entries(), (Entries{{"A.One", "{1}", "/lib/a.so"}}));

    writeFile(folder / "file", "");  // a registry folder that is really a file cannot be written
    const auto unwritable = folder / "file" / "registry";
    ScopedEnvironment variable("VELM_REGISTRY", unwritable.c_str());
    EXPECT_EQ(raisedMentioning([&] { registry.registerServer(kPlugin); },
                               "DllRegisterServer of \"" + kPlugin.string() + "\" failed"),
              vb::err::kCannotCreateObject);
    RegistryFile file(unwritable);
    file.add({"A.One", "{1}", "/lib/a.so"});
    EXPECT_EQ(raisedMentioning([&] { file.save(); }, unwritable.string()), 75);
}

TEST_F(RegistryTest, ThePluginCountsLiveObjectsAndRefusesBadClassRequestsAndInProcessFactoriesComeFirst)
{
    registry.registerServer(kPlugin);
    void* handle = dlopen(kPlugin.c_str(), RTLD_NOW | RTLD_NOLOAD);  // the library the registry loaded
    ASSERT_NE(handle, nullptr);
    const auto canUnloadNow =
        reinterpret_cast<platform::CanUnloadNowFunction>(dlsym(handle, platform::kCanUnloadNowSymbol));
    const auto getClassObject =
        reinterpret_cast<platform::GetClassObjectFunction>(dlsym(handle, platform::kGetClassObjectSymbol));
    dlclose(handle);  // the registry keeps its own reference
    ASSERT_TRUE(canUnloadNow && getClassObject);

    EXPECT_EQ(canUnloadNow(), platform::kServerOk);
    auto widget = registry.createAs<WidgetInt>(kWidgetProgId);
    auto plain = registry.create(kPlainProgId);
    plain.reset();
    EXPECT_EQ(canUnloadNow(), platform::kServerBusy);
    widget.reset();
    EXPECT_EQ(canUnloadNow(), platform::kServerOk);

    platform::ClassFactory* factory = nullptr;
    EXPECT_EQ(getClassObject("{5b1e7c42-90d3-4a6f-8e21-c4f09a3d6b18}", &factory), platform::kServerOk);  // any case
    EXPECT_EQ(getClassObject(nullptr, &factory), platform::kServerClassNotAvailable);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(getClassObject(kWidgetClassId, nullptr), platform::kServerClassNotAvailable);

    class Local final : public platform::ComObject, public WidgetInt {
        std::string name() const override { return "local"; }
    };
    registry.registerFactory(kWidgetProgId, [] { return std::make_shared<Local>(); });
    registry.registerFactory("QuorinTest.Null", [] { return nullptr; });
    registry.registerFactory("QuorinTest.Failing",
                             []() -> std::shared_ptr<platform::ComObject> { vb::raise(vb::err::kOverflow); });
    EXPECT_EQ(registry.createAs<WidgetInt>("QUORINTEST.WIDGET")->name(), "local");
    EXPECT_EQ(errorOf([&] { registry.create("QuorinTest.Null"); }).number, vb::err::kCannotCreateObject);
    EXPECT_EQ(errorOf([&] { registry.create("QuorinTest.Failing"); }).number, vb::err::kOverflow);
    for (const char* progId : {"quorintest.widget", "QuorinTest.Null", "QuorinTest.Failing"})
        registry.unregisterFactory(progId);
    EXPECT_EQ(registry.createAs<WidgetInt>(kWidgetProgId)->name(), "widget from the plug-in");
}

TEST(RegistryFileLocation, FollowsTheEnvironment)
{
    // VELM_REGISTRY, XDG_CONFIG_HOME, HOME, expected path
    // clang-format off
    const std::tuple<const char*, const char*, const char*, std::string> cases[]{
        {"/r/registry", "/x", "/h", "/r/registry"}, {nullptr, "/x", "/h", "/x/velm/registry"},
        {"", "/x", "/h", "/x/velm/registry"}, {nullptr, "relative", "/h", "/h/.config/velm/registry"},
        {nullptr, "", "/h", "/h/.config/velm/registry"}, {nullptr, nullptr, nullptr, ""},
    };
    // clang-format on
    for (const auto& [registry, xdg, home, expected] : cases) {
        ScopedEnvironment registryVariable("VELM_REGISTRY", registry);
        ScopedEnvironment xdgVariable("XDG_CONFIG_HOME", xdg);
        ScopedEnvironment homeVariable("HOME", home);
        EXPECT_EQ(RegistryFile::defaultPath(), fs::path(expected)) << expected;
    }
}

}  // namespace
