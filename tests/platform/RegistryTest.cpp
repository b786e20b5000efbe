#include "PlatformTesting.h"

#include "platform/ComponentRegistry.h"
#include "platform/InProcessServer.h"
#include "platform/RegistryFile.h"
#include "registry/TestWidget.h"

#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using platform::RegistryEntry;
using platform::RegistryFile;
using platform_testing::errorOf;
using quorin_test::WidgetInt;

const fs::path kPlugin = fs::absolute(VELM_TEST_PLUGIN_PATH).lexically_normal();
const fs::path kPlatformLibrary = fs::absolute(VELM_PLATFORM_LIBRARY_PATH).lexically_normal();
const std::string kNoObject = "ActiveX component can't create object";

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

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

bool mentions(const vb::ComError& error, const std::string& text) { return error.description.find(text) != std::string::npos; }

class RegistryTest : public platform_testing::TempFolderTest {
protected:
    platform::ComponentRegistry& registry = platform::ComponentRegistry::instance();
    fs::path registryPath = folder / "config" / "registry";
    ScopedEnvironment environment {"VELM_REGISTRY", registryPath.c_str()};
};

TEST_F(RegistryTest, ThePluginRegistersThroughItsExportsCreatesItsClassesByNameAndUnregisters)
{
    RegistryFile other(registryPath);
    other.add({"Other.Thing", "{1}", "/opt/other/libother.so"});
    other.add({quorin_test::kWidgetProgId, "{stale}", "/opt/old/libwidget.so"});
    other.save();

    registry.registerServer(kPlugin);
    registry.registerServer(kPlugin);

    const auto file = RegistryFile::load(registryPath);
    EXPECT_EQ(file.entries().size(), 3u);
    EXPECT_EQ(file.findByProgId(quorin_test::kWidgetProgId), (RegistryEntry {quorin_test::kWidgetProgId, quorin_test::kWidgetClassId, kPlugin}));
    EXPECT_EQ(file.findByProgId(quorin_test::kPlainProgId), (RegistryEntry {quorin_test::kPlainProgId, quorin_test::kPlainClassId, kPlugin}));
    std::stringstream text;
    text << std::ifstream(registryPath).rdbuf();
    EXPECT_NE(text.str().find(std::string("\nQuorinTest.Widget\t") + quorin_test::kWidgetClassId + "\t" + kPlugin.string() + "\n"),
              std::string::npos);

    EXPECT_EQ(registry.createAs<WidgetInt>("quorintest.WIDGET")->name(), "widget from the plug-in");
    EXPECT_EQ(errorOf([&] { registry.createAs<quorin_test::GadgetInt>(quorin_test::kWidgetProgId); }).number,
              vb::err::kNotSupported);
    EXPECT_EQ(errorOf([&] { registry.createAs<WidgetInt>(quorin_test::kPlainProgId); }).number, vb::err::kNotSupported);
    for (const char* name : {"", "QuorinTest", "QuorinTest.Widget2"}) {
        const auto error = errorOf([&] { registry.create(name); });
        EXPECT_EQ(error.number, vb::err::kCannotCreateObject) << name;
        EXPECT_EQ(error.description, kNoObject) << name;
    }

    registry.unregisterServer(kPlugin);
    EXPECT_EQ(RegistryFile::load(registryPath).entries(), (std::vector<RegistryEntry> {other.entries()[0]}));
    EXPECT_EQ(errorOf([&] { registry.create(quorin_test::kWidgetProgId); }).description, kNoObject);
}

TEST_F(RegistryTest, BrokenRegistrationsRaiseA429NamingTheProblem)
{
    const std::string plugin = kPlugin.string();
    const std::string damaged = registryPath.string() + " is damaged at line 2";
    const auto notALibrary = folder / "libtext.so";
    const auto missing = folder / "missing.so";
    const std::pair<std::string, std::string> cases[] {
        {"QuorinTest.Widget", damaged},
        {"QuorinTest.Widget\t{1}", damaged},
        {"QuorinTest.Widget\t{1}\t" + plugin + "\textra", damaged},
        {"QuorinTest.Widget\t\t" + plugin, damaged},
        {"QuorinTest.Widget\t{1}\trelative/libwidget.so", damaged},
        {"QuorinTest.Widget\t{1}\t" + missing.string(), "cannot load library \"" + missing.string()},
        {"QuorinTest.Widget\t{1}\t" + notALibrary.string(), "cannot load library \"" + notALibrary.string()},
        {"QuorinTest.Widget\t{1}\t" + kPlatformLibrary.string(), kPlatformLibrary.string() + "\" does not export DllGetClassObject"},
        {"QuorinTest.Widget\t{no such class}\t" + plugin, plugin + "\" has no class {no such class}"},
    };
    fs::create_directories(registryPath.parent_path());
    writeText(notALibrary, "not a shared library\n");
    for (const auto& [line, problem] : cases) {
        writeText(registryPath, "# comment\n" + line + "\n");
        const auto error = errorOf([&] { registry.create(quorin_test::kWidgetProgId); });
        EXPECT_EQ(error.number, vb::err::kCannotCreateObject) << line;
        EXPECT_TRUE(mentions(error, problem)) << error.description;
    }
}

TEST_F(RegistryTest, FailingServerCallsRaise429AndUnwritableFiles75)
{
    EXPECT_TRUE(mentions(errorOf([&] { registry.registerServer(folder / "missing.so"); }), (folder / "missing.so").string()));
    EXPECT_TRUE(mentions(errorOf([&] { registry.unregisterServer(kPlatformLibrary); }), "does not export DllUnregisterServer"));

    writeText(folder / "file", "");  // a registry folder that is really a file cannot be written
    const auto unwritable = folder / "file" / "registry";
    ScopedEnvironment variable("VELM_REGISTRY", unwritable.c_str());
    const auto error = errorOf([&] { registry.registerServer(kPlugin); });
    EXPECT_EQ(error.number, vb::err::kCannotCreateObject);
    EXPECT_TRUE(mentions(error, "DllRegisterServer of \"" + kPlugin.string() + "\" failed"));

    RegistryFile file(unwritable);
    file.add({"A.One", "{1}", "/lib/a.so"});
    EXPECT_EQ(errorOf([&] { file.save(); }).number, 75);
    EXPECT_TRUE(mentions(errorOf([&] { file.save(); }), unwritable.string()));
}

TEST_F(RegistryTest, EntryPointsHandOutFactoriesAndCountLiveObjects)
{
    registry.registerServer(kPlugin);
    void* handle = dlopen(kPlugin.c_str(), RTLD_NOW | RTLD_NOLOAD);  // the library the registry loaded
    ASSERT_NE(handle, nullptr);
    const auto canUnloadNow = reinterpret_cast<platform::CanUnloadNowFunction>(dlsym(handle, platform::kCanUnloadNowSymbol));
    const auto getClassObject = reinterpret_cast<platform::GetClassObjectFunction>(dlsym(handle, platform::kGetClassObjectSymbol));
    dlclose(handle);
    ASSERT_TRUE(canUnloadNow && getClassObject);

    EXPECT_EQ(canUnloadNow(), platform::kServerOk);
    auto widget = registry.createAs<WidgetInt>(quorin_test::kWidgetProgId);
    auto plain = registry.create(quorin_test::kPlainProgId);
    plain.reset();
    EXPECT_EQ(canUnloadNow(), platform::kServerBusy);
    widget.reset();
    EXPECT_EQ(canUnloadNow(), platform::kServerOk);

    platform::ClassFactory* factory = nullptr;
    EXPECT_EQ(getClassObject("{5b1e7c42-90d3-4a6f-8e21-c4f09a3d6b18}", &factory), platform::kServerOk);
    ASSERT_NE(factory, nullptr);
    EXPECT_NE(std::dynamic_pointer_cast<WidgetInt>(factory->createInstance()), nullptr);
    EXPECT_EQ(getClassObject("{00000000-0000-0000-0000-000000000000}", &factory), platform::kServerClassNotAvailable);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(getClassObject(nullptr, &factory), platform::kServerClassNotAvailable);
    EXPECT_EQ(getClassObject(quorin_test::kWidgetClassId, nullptr), platform::kServerClassNotAvailable);
}

TEST_F(RegistryTest, InProcessFactoriesComeFirst)
{
    class Local final : public platform::ComObject, public WidgetInt {
        std::string name() const override { return "local"; }
    };
    registry.registerServer(kPlugin);
    registry.registerFactory(quorin_test::kWidgetProgId, [] { return std::make_shared<Local>(); });
    EXPECT_EQ(registry.createAs<WidgetInt>("QUORINTEST.WIDGET")->name(), "local");
    registry.unregisterFactory("quorintest.widget");
    EXPECT_EQ(registry.createAs<WidgetInt>(quorin_test::kWidgetProgId)->name(), "widget from the plug-in");

    registry.registerFactory("QuorinTest.Null", [] { return nullptr; });
    registry.registerFactory("QuorinTest.Failing", []() -> std::shared_ptr<platform::ComObject> { vb::raise(vb::err::kOverflow); });
    EXPECT_EQ(errorOf([&] { registry.create("QuorinTest.Null"); }).number, vb::err::kCannotCreateObject);
    EXPECT_EQ(errorOf([&] { registry.create("QuorinTest.Failing"); }).number, vb::err::kOverflow);
    registry.unregisterFactory("QuorinTest.Null");
    registry.unregisterFactory("QuorinTest.Failing");
}

TEST_F(RegistryTest, FileEntriesAreReplacedAndRemovedByNameOrLibrary)
{
    RegistryFile file(registryPath);
    for (const RegistryEntry& entry : std::vector<RegistryEntry> {{"A.One", "{1}", "/lib/a.so"}, {"A.Two", "{2}", "/lib/a.so"},
             {"B.One", "{3}", "/lib/b.so"}, {"a.one", "{4}", "/lib/c.so"}, {"B.Two", "{3}", "/lib/b.so"}})
        file.add(entry);
    EXPECT_EQ(file.findByProgId("A.ONE")->library, "/lib/c.so");
    EXPECT_EQ(file.findByClassId("{3}")->progId, "B.Two");
    EXPECT_FALSE(file.findByProgId("B.One"));
    file.save();

    auto loaded = RegistryFile::load(registryPath);
    EXPECT_EQ(loaded.entries(), file.entries());
    EXPECT_EQ(loaded.removeLibrary("/lib/../lib/b.so"), 1u);
    EXPECT_EQ(loaded.removeProgId("A.TWO"), 1u);
    EXPECT_EQ(loaded.removeProgId("A.TWO"), 0u);
    EXPECT_EQ(loaded.entries(), (std::vector<RegistryEntry> {{"a.one", "{4}", "/lib/c.so"}}));

    for (const RegistryEntry& bad : std::vector<RegistryEntry> {
             {"", "{1}", "/lib/a.so"}, {"A", "", "/lib/a.so"}, {"A", "{1}", ""}, {"A\tB", "{1}", "/lib/a.so"},
             {"A", "{1\n}", "/lib/a.so"}, {"A", "{1}", "lib/a.so"}})
        EXPECT_EQ(errorOf([&] { loaded.add(bad); }).number, vb::err::kInvalidProcedureCall) << bad.progId << bad.classId;

    writeText(registryPath, "# header\r\n\r\n   \n  # indented comment\nA.One\t{1}\t/lib/a.so\r\n");
    EXPECT_EQ(RegistryFile::load(registryPath).entries(), (std::vector<RegistryEntry> {{"A.One", "{1}", "/lib/a.so"}}));
}

TEST(RegistryFileLocation, FollowsTheEnvironment)
{
    // VELM_REGISTRY, XDG_CONFIG_HOME, HOME, expected path
    const std::tuple<const char*, const char*, const char*, std::string> cases[] {
        {"/r/registry", "/x", "/h", "/r/registry"},
        {nullptr, "/x", "/h", "/x/velm/registry"},
        {"", "/x", "/h", "/x/velm/registry"},
        {nullptr, "relative", "/h", "/h/.config/velm/registry"},
        {nullptr, "", "/h", "/h/.config/velm/registry"},
        {nullptr, nullptr, nullptr, ""},
    };
    for (const auto& [registry, xdg, home, expected] : cases) {
        ScopedEnvironment registryVariable("VELM_REGISTRY", registry);
        ScopedEnvironment xdgVariable("XDG_CONFIG_HOME", xdg);
        ScopedEnvironment homeVariable("HOME", home);
        EXPECT_EQ(RegistryFile::defaultPath(), fs::path(expected)) << expected;
    }
}

}  // namespace
