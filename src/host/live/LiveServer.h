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

// A file of the page itself, held in memory. Every "{{nonce}}" in it becomes the nonce of the
// response, the only one the page's script policy lets run.
struct PageFile {
    std::string contentType;
    std::string body;
};

// What a live server serves and to whom.
struct LiveServerSettings {
    // The port on 127.0.0.1; 0 for a free one.
    std::uint16_t port = 0;
    // The secret the page's address and its WebSocket carry.
    std::string token;
    // The page's own files by URL path ("/" for the page).
    std::map<std::string, PageFile> pageFiles;
    // Folders whose files are served at their own absolute paths, once a page refers to them.
    std::vector<std::filesystem::path> folders;
    // Files never served, under whatever name (the item itself).
    std::vector<std::filesystem::path> withheldFiles;
};

// The loopback HTTP server of a live visit, with WebSockets at "/ws". Nothing runs on another
// thread: handlers run only inside runFor, on the caller's thread. The page and the files need
// the token (the query "token=") or the cookie the page's answer sets, which opens nothing but
// files; a WebSocket needs the token itself and the page's own origin. A file is served only when
// it lies inside the folders, a page has referred to it, and its type is one a page shows.
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
    // Sends text to every open WebSocket, after what was sent before; a page that lets too much
    // pile up unread is closed (1008).
    void send(std::string text);
    // Number of open WebSockets.
    std::size_t clientCount() const;
    // Lets the files html refers to by absolute path (src="…", href="…", url(…)) be served.
    void permitReferencesIn(std::string_view html);

    // Raised, inside runFor, for each text message from a WebSocket.
    std::function<void(std::string message)> onMessage;
    // Raised, inside runFor, when a WebSocket has opened.
    std::function<void()> onClientOpened;

    // Whether the request target's path names a file a page may show inside one of the folders
    // (after resolving "." and ".." and links; no hidden name below the folder; a media type of
    // the allow-list); the resolved file when it does, empty otherwise.
    static std::filesystem::path servedFile(std::string_view urlPath,
                                            const std::vector<std::filesystem::path>& folders);
    // The URL path with %XX escapes decoded; empty when an escape is malformed or decodes to NUL.
    static std::string decodedPath(std::string_view urlPath);
    // 128 random bits written as 32 hexadecimal digits.
    static std::string randomSecret();
    // The absolute paths html refers to in src="…", href="…" and url(…), as written.
    static std::vector<std::string> referencedPaths(std::string_view html);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velm::host
