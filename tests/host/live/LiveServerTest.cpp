#include "host/live/LiveServer.h"
#include "host/live/LiveChannel.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>
#include <thread>

namespace {

using velm::host::LiveServer;
using velm::host::LiveServerSettings;
namespace fs = std::filesystem;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = boost::asio::ip::tcp;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryMeasurable = false;  // the sanitizer keeps freed memory in quarantine
#else
constexpr bool kMemoryMeasurable = true;
#endif

TEST(LiveServer, PathsAreDecodedOnlyWhenEveryEscapeIsWhole)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b.bmp", "/a/b.bmp"}, {"/a%20b", "/a b"}, {"/%2e%2e/x", "/../x"},
        {"/%2F", "//"},           {"/bad%2", ""},     {"/bad%zz", ""},
        {"/nul%00x", ""},         {"", ""},           {"/%C3%A9t%C3%A9", "/\xC3\xA9t\xC3\xA9"},
    };
    for (const auto& [path, decoded] : cases)
        EXPECT_EQ(LiveServer::decodedPath(path), decoded) << path;
}

TEST(LiveServer, AbsolutePathsAreTakenFromSourcesLinksAndStyleUrls)
{
    const auto paths = LiveServer::referencedPaths(
        "<IMG SRC=\"/s/a.bmp\"><td style=\"BACKGROUND-IMAGE:url(/s/b.bmp)\"><a href=\"/r/c.png\">"
        "<img src=\"relative.png\"><img src=\"http://evil.example/x.png\"><img src=\"/unclosed");
    EXPECT_EQ(paths, (std::vector<std::string>{"/s/a.bmp", "/r/c.png", "/s/b.bmp"}));
}

fs::path freshFolder(const std::string& name)
{
    const auto folder = fs::temp_directory_path() / (name + "-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void write(const fs::path& file, const std::string& bytes = "bytes")
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

class ServedFiles : public ::testing::Test {
protected:
    ServedFiles()
    {
        root_ = freshFolder("velm-served");
        for (const char* name :
             {"support/Left_cornerhdt.bmp", "support/deeper/key.png", "support/.hidden.png", "support/.git/logo.png",
              "support/item.xml", "support/page.html", "support/notes.txt", "outside/secret.png"})
            write(root_ / name);
        fs::create_symlink(root_ / "outside" / "secret.png", root_ / "support" / "link.png");
        fs::create_directory_symlink(root_ / "outside", root_ / "support" / "linked");
        folders_ = {fs::canonical(root_ / "support")};
    }
    ~ServedFiles() override { fs::remove_all(root_); }

    std::string path(const std::string& relative) const { return (root_ / relative).string(); }

    fs::path root_;
    std::vector<fs::path> folders_;
};

TEST_F(ServedFiles, OnlyFilesInsideTheFoldersAreServedWhateverThePathSays)
{
    const std::pair<std::string, bool> cases[] = {
        {path("support/Left_cornerhdt.bmp"), true},
        {path("support/deeper/key.png"), true},
        {path("support/deeper/../Left_cornerhdt.bmp"), true},
        {path("support/./deeper//key.png"), true},
        {path("support/../outside/secret.png"), false},
        {path("outside/secret.png"), false},
        {path("support/link.png"), false},  // a link out of the folder
        {path("support/linked/secret.png"), false},  // a folder link out of it
        {path("support/.hidden.png"), false},  // hidden names below the folder
        {path("support/.git/logo.png"), false},
        {path("support/item.xml"), false},  // what no page shows
        {path("support/page.html"), false},
        {path("support/notes.txt"), false},
        {path("support"), false},  // the folder itself
        {path("support/deeper"), false},
        {path("support/missing.bmp"), false},
        {"relative/support/Left_cornerhdt.bmp", false},
        {"", false},
        {"/", false},
    };
    for (const auto& [url, served] : cases)
        EXPECT_EQ(!LiveServer::servedFile(url, folders_).empty(), served) << url;
}

TEST(LiveServer, ListensOnTheLoopbackAddressAndNamesItsPageWithTheToken)
{
    LiveServerSettings settings{.token = "abc123"};
    const LiveServer server(settings);
    EXPECT_GT(server.port(), 0);
    EXPECT_EQ(server.origin(), "http://127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(server.pageUrl(), server.origin() + "/?token=abc123");
    EXPECT_EQ(server.clientCount(), 0u);
    settings.port = server.port();
    EXPECT_THROW(LiveServer{settings}, std::runtime_error);  // the port is taken
}

// An answer as it came over the wire; status 0 when none came.
using Reply = beast::http::response<beast::http::string_body>;

// A connection whose reads give up after half a minute, so that a server that never answers fails the test.
int connectTo(std::uint16_t port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const timeval patience = {30, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}

// Sends the request as written and reads the answer (no body for HEAD and for a WebSocket that opened).
Reply roundTrip(std::uint16_t port, const std::string& request)
{
    beast::http::response_parser<beast::http::string_body> parser;
    parser.eager(true);
    parser.skip(request.starts_with("HEAD"));
    const int fd = connectTo(port);
    for (std::size_t sent = 0; fd >= 0 && sent < request.size();) {
        const ssize_t count = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (count <= 0)
            break;
        sent += static_cast<std::size_t>(count);
    }
    std::string bytes;
    char buffer[65536];
    beast::error_code error;
    for (ssize_t count; fd >= 0 && !parser.is_done() && (count = recv(fd, buffer, sizeof buffer, 0)) > 0;) {
        bytes.append(buffer, static_cast<std::size_t>(count));
        bytes.erase(0, parser.put(boost::asio::buffer(bytes), error));
        if (error && error != beast::http::error::need_more)
            break;
    }
    if (fd >= 0)
        close(fd);
    return parser.is_header_done() ? parser.release() : Reply(beast::http::status::unknown, 11);
}

// Runs call on a thread of its own while this one serves, and returns what it returned.
template <class Call>
auto whileServing(LiveServer& server, Call call)
{
    auto result = std::async(std::launch::async, std::move(call));
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        server.runFor(std::chrono::milliseconds(5));
    return result.get();
}

std::size_t residentBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:"))
            return std::stoul(line.substr(6)) * 1024;
    }
    return 0;
}

class LiveServerRequests : public ::testing::Test {
protected:
    LiveServerRequests()
        : root_(freshFolder("velm-requests"))
        , server_(settings(root_))
        , host_("127.0.0.1:" + std::to_string(server_.port()))
    {
        std::string page;
        for (const char* name : {"pic.png", ".secret.png", "item.png", "swapped.png"})
            page += "<img src=\"" + file(name) + "\">";
        server_.permitReferencesIn(page);
    }
    ~LiveServerRequests() override { fs::remove_all(root_); }

    static LiveServerSettings settings(const fs::path& root)
    {
        for (const char* name : {"pic.png", "other.png", ".secret.png", "item.png", "swapped.png"})
            write(root / "items" / name, std::string(1000, 'x'));
        write(root / "outside" / "secret.png");
        LiveServerSettings settings;
        settings.token = "0123456789abcdef0123456789abcdef";
        settings.pageFiles["/"] = {"text/html; charset=utf-8", "<script nonce=\"{{nonce}}\"></script>"};
        settings.folders = {root / "items"};
        settings.withheldFiles = {root / "items" / "item.png"};
        return settings;
    }

    std::string file(const std::string& name) const { return (fs::canonical(root_) / "items" / name).string(); }
    std::string token() const { return "0123456789abcdef0123456789abcdef"; }

    Reply send(const std::string& request)
    {
        return whileServing(server_, [this, request] { return roundTrip(server_.port(), request); });
    }
    Reply get(const std::string& target, const std::string& headers = "", const std::string& method = "GET")
    {
        return send(method + " " + target + " HTTP/1.1\r\nHost: " + host_ + "\r\n" + headers
                    + "Connection: close\r\n\r\n");
    }
    Reply openSocket(const std::string& target, const std::string& host, const std::string& origin,
                     const std::string& headers = "")
    {
        return send("GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n" + headers
                    + "Connection: Upgrade\r\nUpgrade: websocket\r\nSec-WebSocket-Version: 13\r\n"
                      "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nOrigin: "
                    + origin + "\r\n\r\n");
    }

    fs::path root_;
    LiveServer server_;
    std::string host_;
};

TEST_F(LiveServerRequests, EachRequestIsAnsweredByWhatItCarries)
{
    const std::string page = "/?token=" + token();
    const std::string cookie(get(page)["Set-Cookie"]);
    const std::string jar = "Cookie: " + cookie.substr(0, cookie.find(';')) + "\r\n";
    const std::string port = std::to_string(server_.port());
    // A file swapped for a link out of the folder after the page referred to it.
    fs::remove(file("swapped.png"));
    fs::create_symlink(root_ / "outside" / "secret.png", file("swapped.png"));
    const std::pair<Reply, int> cases[] = {
        {get(page), 200},
        {get("/"), 403},
        {get("/", jar), 200},  // a reload
        {get("/", "Cookie: velm_1=" + jar.substr(jar.find('=') + 1)), 403},  // another port's cookie
        {get("/", "Cookie: velm_" + port + "=" + token() + "\r\n"), 403},  // the cookie is not the token
        {get(file("pic.png"), jar), 200},
        {get(file("pic.png") + "?token=" + token()), 200},
        {get(file("pic.png")), 403},
        {get(file("other.png"), jar), 404},  // no page refers to it
        {get(file(".secret.png"), jar), 404},
        {get(file("item.png"), jar), 404},  // the item, whatever its name
        {get(file("swapped.png") + "?token=" + token()), 404},
        {openSocket("/ws?token=" + token(), host_, "http://" + host_), 101},
        {openSocket("/ws", host_, "http://" + host_, jar), 403},  // the cookie opens files only
        {openSocket("/ws?token=" + token(), host_, "http://evil.example"), 403},
        {openSocket("/ws?token=" + token(), "localhost:" + port, "http://localhost:" + port), 101},
        {openSocket("/ws?token=" + token(), "localhost:" + port, "http://127.0.0.1:" + port), 403},
        {send("GET " + page + " HTTP/1.1\r\nHost: " + host_ + "\r\nHost: evil.example\r\n\r\n"), 403},
        {get(page, "X-Big: " + std::string(40000, 'x') + "\r\n"), 431},
        {send("POST " + page + " HTTP/1.1\r\nHost: " + host_ + "\r\nContent-Length: 100000\r\n\r\n"
              + std::string(100000, 'x')),
         413},
        {get(page, "", "DELETE"), 405},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first.result_int(), cases[i].second) << "case " << i << ":\n" << cases[i].first.base();
}

TEST_F(LiveServerRequests, ThePageRunsOnlyItsOwnScriptAndItsFilesRunNothing)
{
    const Reply first = get("/?token=" + token());
    const Reply second = get("/?token=" + token());
    std::smatch nonce;
    ASSERT_TRUE(std::regex_search(first.body(), nonce, std::regex("nonce=\"([0-9a-f]{32})\"")));
    const std::string policy(first["Content-Security-Policy"]);
    for (const std::string& part : {"script-src 'nonce-" + nonce[1].str() + "'", std::string("connect-src 'self'"),
                                    std::string("frame-ancestors 'none'"), std::string("base-uri 'none'")})
        EXPECT_NE(policy.find(part), std::string::npos) << part << " in " << policy;
    EXPECT_EQ(second.body().find(nonce[1].str()), std::string::npos);
    EXPECT_TRUE(first["Set-Cookie"].starts_with("velm_" + std::to_string(server_.port()) + "="));
    EXPECT_NE(first["Set-Cookie"].find("HttpOnly"), std::string::npos);

    const Reply picture = get(file("pic.png") + "?token=" + token());
    EXPECT_EQ(picture.body(), std::string(1000, 'x'));
    EXPECT_TRUE(picture["Content-Security-Policy"].starts_with("sandbox; default-src 'none'"));
    const Reply head = get(file("pic.png") + "?token=" + token(), "", "HEAD");
    EXPECT_EQ((std::tuple{picture["X-Content-Type-Options"], picture["Content-Type"], head.result_int(),
                          head["Content-Length"]}),
              (std::tuple{"nosniff", "image/png", 200, "1000"}));
}

TEST_F(LiveServerRequests, IdleConnectionsGiveWayToThePagesRequests)
{
    std::vector<int> idle;
    for (int i = 0; i < 100; ++i)
        idle.push_back(connectTo(server_.port()));
    EXPECT_EQ(get("/?token=" + token()).result_int(), 200);
    for (const int fd : idle)
        close(fd);
}

TEST_F(LiveServerRequests, ALargeFileIsStreamedWhileThePageGoesOnBeingAnswered)
{
    constexpr std::uintmax_t kLarge = 32u * 1024 * 1024;
    fs::resize_file(file("pic.png"), kLarge);  // sparse: no disk is used
    const std::size_t before = residentBytes();
    const int reader = connectTo(server_.port());
    const std::string request =
        "GET " + file("pic.png") + "?token=" + token() + " HTTP/1.1\r\nHost: " + host_ + "\r\n\r\n";
    ASSERT_EQ(::send(reader, request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
    char buffer[65536];
    const ssize_t first = whileServing(server_, [&] { return recv(reader, buffer, sizeof buffer, 0); });
    ASSERT_GT(first, 0);
    EXPECT_EQ(get("/?token=" + token()).result_int(), 200);  // while the file waits to be read
    EXPECT_LT(kMemoryMeasurable ? residentBytes() - before : 0, 16u << 20);
    // The head comes before the body, so the whole file is there once as many bytes have come.
    const std::uintmax_t received = whileServing(server_, [&] {
        auto total = static_cast<std::uintmax_t>(first);
        for (ssize_t count; total < kLarge && (count = recv(reader, buffer, sizeof buffer, 0)) > 0;)
            total += static_cast<std::uintmax_t>(count);
        return total;
    });
    close(reader);
    EXPECT_GE(received, kLarge);
    fs::resize_file(file("pic.png"), 300u * 1024 * 1024);
    EXPECT_EQ(get(file("pic.png") + "?token=" + token()).result_int(), 403);
}

// A page played by a thread: it opens the WebSocket and hands it to play.
template <class Play>
auto playPage(LiveServer& server, const std::string& token, Play play)
{
    return whileServing(server, [&server, token, play] {
        boost::asio::io_context io;
        websocket::stream<tcp::socket> socket(io);
        socket.next_layer().connect({boost::asio::ip::make_address("127.0.0.1"), server.port()});
        socket.set_option(
            websocket::stream_base::decorator([origin = server.origin()](websocket::request_type& request) {
                request.set(beast::http::field::origin, origin);
            }));
        socket.handshake("127.0.0.1:" + std::to_string(server.port()), "/ws?token=" + token);
        socket.read_message_max(64u << 20);
        return play(socket);
    });
}

TEST(LiveServerMemory, APageThatNeverReadsIsClosedBeforeItsRepliesFillTheMemory)
{
    LiveServer server({.token = "secret"});
    server.onMessage = [&server](std::string message) { server.send(std::move(message)); };
    const std::size_t before = residentBytes();
    const bool ended = playPage(server, "secret", [](websocket::stream<tcp::socket>& socket) {
        const std::string message(100 * 1024, 'x');
        beast::error_code error;
        for (int i = 0; i < 2000 && !error; ++i)
            socket.write(boost::asio::buffer(message), error);
        beast::flat_buffer buffer;
        while (!error) {
            socket.read(buffer, error);
            buffer.consume(buffer.size());
        }
        return true;
    });
    EXPECT_TRUE(ended);
    for (int i = 0; i < 100 && server.clientCount() > 0; ++i)
        server.runFor(std::chrono::milliseconds(10));
    EXPECT_EQ(server.clientCount(), 0u);
    EXPECT_LT(kMemoryMeasurable ? residentBytes() - before : 0, 80u << 20);
}

TEST(LiveServerMemory, WhatThePageSaysWhileNothingTakesItIsBounded)
{
    LiveServer server({.token = "secret"});
    velm::host::LiveChannel channel(server);
    const std::string busy = playPage(server, "secret", [](websocket::stream<tcp::socket>& socket) {
        const std::string message = R"({"type":"action","line":")" + std::string(100 * 1024, 'x') + R"("})";
        for (int i = 0; i < 200; ++i)
            socket.write(boost::asio::buffer(message));
        beast::flat_buffer buffer;
        socket.read(buffer);
        return beast::buffers_to_string(buffer.data());
    });
    EXPECT_NE(busy.find("the driver is busy"), std::string::npos);
    EXPECT_LT(busy.size(), 400u);
    int kept = 0;
    while (auto message = channel.take())
        kept += message->value("type", "") == "action";
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 100);
}

// The processor time the process has used so far.
std::chrono::nanoseconds cpuTime(pid_t process)
{
    clockid_t clock = 0;
    timespec used = {};
    EXPECT_EQ(clock_getcpuclockid(process, &clock), 0);
    EXPECT_EQ(clock_gettime(clock, &used), 0);
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}

// The server in a process of its own with few descriptors, held busy by idle connections.
TEST(LiveServerConnections, RunningOutOfDescriptorsNeitherSpinsNorStopsTheServer)
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers open descriptors of their own to inspect memory; this test takes them all away.
    GTEST_SKIP() << "needs a build without sanitizers";
#endif
    int portPipe[2];
    ASSERT_EQ(pipe(portPipe), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit few = {40, 40};
        setrlimit(RLIMIT_NOFILE, &few);
        LiveServer server({.token = "secret", .pageFiles = {{"/", {"text/plain", "page"}}}});
        const std::uint16_t port = server.port();
        if (::write(portPipe[1], &port, sizeof port) != sizeof port)
            _exit(1);
        while (true)
            server.runFor(std::chrono::milliseconds(100));
    }
    std::uint16_t port = 0;
    ASSERT_EQ(::read(portPipe[0], &port, sizeof port), static_cast<ssize_t>(sizeof port));
    close(portPipe[0]);
    close(portPipe[1]);
    std::vector<int> idle;
    for (int i = 0; i < 200; ++i)
        idle.push_back(connectTo(port));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto before = cpuTime(child);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto used = cpuTime(child) - before;
    for (const int fd : idle)
        close(fd);
    const Reply page = roundTrip(port, "GET /?token=secret HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port)
                                           + "\r\nConnection: close\r\n\r\n");
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_LT(used, std::chrono::milliseconds(250)) << "a quarter of a second's work in one second of waiting";
    EXPECT_EQ((std::tuple{page.result_int(), page.body()}), (std::tuple{200, "page"}));
}

}  // namespace
