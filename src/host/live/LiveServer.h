#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velm::host {

// A file of the page itself, held in memory.
struct PageFile {
    std::string contentType;
    std::string body;
};

// What a live server serves and to whom.
struct LiveServerSettings {
    // The port on 127.0.0.1; 0 for a free one.
    std::uint16_t port = 0;
    // The secret every request and the WebSocket must carry.
    std::string token;
    // The page's own files by URL path ("/" for the page).
    std::map<std::string, PageFile> pageFiles;
    // Folders whose files are served at their own absolute paths, as the pages refer to them.
    std::vector<std::filesystem::path> folders;
};

// The loopback HTTP server of a live visit, with WebSockets at "/ws". Nothing runs on another
// thread: handlers run only inside runFor, on the caller's thread. Every request needs the token
// (the query "token=" or the cookie the page's answer sets); a WebSocket also needs the page's
// own origin; files are served only from the page files and inside the folders.
class LiveServer {
public:
    // Listens on 127.0.0.1; std::runtime_error naming why when it cannot.
    explicit LiveServer(LiveServerSettings settings);
    ~LiveServer();
    LiveServer(const LiveServer&) = delete;
    LiveServer& operator=(const LiveServer&) = delete;

    // The port it listens on.
    std::uint16_t port() const;
    // The page's address with the token, "http://127.0.0.1:PORT/?token=...".
    std::string pageUrl() const;
    // The origin the page is served from, "http://127.0.0.1:PORT".
    std::string origin() const;

    // Runs the handlers that are ready, waiting up to timeout for the first of them.
    void runFor(std::chrono::milliseconds timeout);
    // Sends text to every open WebSocket, after what was sent before.
    void send(std::string text);
    // Number of open WebSockets.
    std::size_t clientCount() const;

    // Raised, inside runFor, for each text message from a WebSocket.
    std::function<void(std::string message)> onMessage;
    // Raised, inside runFor, when a WebSocket has opened.
    std::function<void()> onClientOpened;

    // Whether the request target's path lies inside one of the folders (after resolving "." and
    // ".." and links); the resolved file when it does, empty otherwise.
    static std::filesystem::path servedFile(std::string_view urlPath, const std::vector<std::filesystem::path>& folders);
    // The URL path with %XX escapes decoded; empty when an escape is malformed or decodes to NUL.
    static std::string decodedPath(std::string_view urlPath);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velm::host
