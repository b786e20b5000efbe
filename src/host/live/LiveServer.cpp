// The only source file that includes Boost.Beast: it compiles slowly, so nothing else does.
#include "host/live/LiveServer.h"

#include "vb/Strings.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <deque>
#include <iomanip>
#include <list>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <variant>

namespace velm::host {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
using Request = http::request<http::string_body>;
using Response = http::response<http::string_body>;
using FileResponse = http::response<http::file_body>;

constexpr std::string_view kNonceMark = "{{nonce}}";
constexpr std::size_t kHeaderLimit = 32UL * 1024;
constexpr std::size_t kRequestBodyLimit = 64UL * 1024;
constexpr std::size_t kMessageLimit = 4UL * 1024 * 1024;
// What may wait unsent for one WebSocket: far more than any view, far less than memory.
constexpr std::size_t kQueueLimit = 16UL * 1024 * 1024;
constexpr std::uintmax_t kFileSizeLimit = 256UL * 1024 * 1024;
constexpr std::size_t kConnectionLimit = 64;
constexpr std::size_t kDrainLimit = 1024UL * 1024;
constexpr auto kHeaderTimeout = std::chrono::seconds(10);
constexpr auto kWriteTimeout = std::chrono::seconds(60);
constexpr auto kDrainTimeout = std::chrono::seconds(2);
constexpr auto kCloseTimeout = std::chrono::seconds(2);
constexpr auto kFirstAcceptRetry = std::chrono::milliseconds(50);
constexpr auto kLastAcceptRetry = std::chrono::milliseconds(1000);

// What a folder file may pull in when opened as a page of its own: nothing that runs.
constexpr std::string_view kFilePolicy =
    "sandbox; default-src 'none'; img-src 'self' data:; style-src 'self' 'unsafe-inline'; font-src 'self' data:; "
    "media-src 'self'";

// The value of name in a "a=1&b=2" query or a "a=1; b=2" cookie header; empty when absent.
std::string fieldValue(std::string_view fields, std::string_view name, char separator)
{
    while (!fields.empty()) {
        const auto end = fields.find(separator);
        std::string_view field = fields.substr(0, end);
        while (!field.empty() && field.front() == ' ')
            field.remove_prefix(1);
        if (field.size() > name.size() && field.substr(0, name.size()) == name && field[name.size()] == '=')
            return std::string(field.substr(name.size() + 1));
        fields = end == std::string_view::npos ? std::string_view() : fields.substr(end + 1);
    }
    return {};
}

// Compares without stopping at the first difference, so the time taken tells nothing of the token.
bool sameSecret(std::string_view given, std::string_view token)
{
    if (given.size() != token.size() || token.empty())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < token.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ token[i]);
    return difference == 0;
}

// The media types a page shows; nothing that a browser would run as a page or a script.
std::string contentTypeOf(const std::filesystem::path& file)
{
    static const std::map<std::string, std::string, std::less<>> types = {
        {".bmp", "image/bmp"},   {".png", "image/png"},   {".gif", "image/gif"},     {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"}, {".webp", "image/webp"}, {".svg", "image/svg+xml"}, {".ico", "image/x-icon"},
        {".css", "text/css"},    {".woff", "font/woff"},  {".woff2", "font/woff2"},  {".ttf", "font/ttf"},
        {".otf", "font/otf"},    {".mp3", "audio/mpeg"},  {".wav", "audio/wav"},     {".ogg", "audio/ogg"},
        {".mp4", "video/mp4"},   {".webm", "video/webm"},
    };
    const auto found = types.find(vb::lowerAscii(file.extension().string()));
    return found == types.end() ? std::string() : found->second;
}

// Inside the folder, with no hidden name on the way down from it.
bool isInside(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    const auto [folderEnd, fileAt] = std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
    if (folderEnd != folder.end() || fileAt == file.end())
        return false;
    return std::none_of(fileAt, file.end(), [](const auto& name) { return name.string().starts_with('.'); });
}

std::string_view targetPath(std::string_view target)
{
    return target.substr(0, target.find('?'));
}

std::string_view targetQuery(std::string_view target)
{
    const auto mark = target.find('?');
    return mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
}

std::string replacedAll(std::string text, std::string_view mark, const std::string& value)
{
    for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
        text.replace(at, mark.size(), value);
    return text;
}

// The page's own script is the only one that runs; its frames inherit this, so an item's
// images and styles come from here too, and nothing leaves for elsewhere.
std::string pagePolicy(const std::string& nonce)
{
    return "default-src 'none'; script-src 'nonce-" + nonce
           + "'; style-src 'self' 'unsafe-inline'; img-src 'self' data:; font-src 'self' data:; media-src 'self'; "
             "connect-src 'self'; frame-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'";
}

Response textResponse(unsigned version, bool keepAlive, bool head, http::status status, const std::string& contentType,
                      std::string body)
{
    Response response(status, version);
    response.set(http::field::content_type, contentType);
    response.set(http::field::cache_control, "no-store");
    response.set("X-Content-Type-Options", "nosniff");
    response.keep_alive(keepAlive);
    response.content_length(body.size());
    if (!head)
        response.body() = std::move(body);
    return response;
}

Response textResponse(const Request& request, http::status status, const std::string& contentType, std::string body)
{
    return textResponse(request.version(), request.keep_alive(), request.method() == http::verb::head, status,
                        contentType, std::move(body));
}

Response refused(const Request& request, http::status status, std::string reason)
{
    return textResponse(request, status, "text/plain; charset=utf-8", std::move(reason) + "\n");
}

// A file descriptor closed when it goes out of scope, unless handed on.
class OpenFile {
public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

}  // namespace

class LiveServer::Impl {
public:
    Impl(LiveServer& owner, LiveServerSettings settings);
    ~Impl() { closing = true; }

    class ConnectionSlot;
    class WebSocketSession;
    class HttpSession;
    using Answer = std::variant<Response, FileResponse>;

    void accept();
    bool evictIdle();
    void retryAccept();
    void released();
    Answer answer(const Request& request) const;
    std::optional<Response> refusal(const Request& request, bool webSocket) const;
    bool carriesToken(const Request& request) const;
    bool carriesFileCookie(const Request& request) const;
    bool fromOwnHost(const Request& request) const;
    std::string cookieName() const { return "velm_" + std::to_string(owner.port()); }
    Response pageResponse(const Request& request, const PageFile& page) const;
    Answer fileResponse(const Request& request, const std::string& path) const;
    std::optional<int> openServed(const std::filesystem::path& file) const;
    void opened(const std::shared_ptr<WebSocketSession>& session);
    void closed(const WebSocketSession* session);
    void received(std::string message);

    // Set first thing on destruction, so sessions ending with the io context touch nothing else.
    bool closing = false;
    std::size_t connections = 0;
    bool acceptPaused = false;
    std::chrono::milliseconds acceptRetryDelay = kFirstAcceptRetry;
    LiveServer& owner;
    LiveServerSettings settings;
    std::string fileSecret = LiveServer::randomSecret();
    std::vector<std::filesystem::path> folders;
    std::set<std::filesystem::path> permitted;
    std::vector<std::pair<dev_t, ino_t>> withheld;
    asio::io_context io;
    tcp::acceptor acceptor;
    asio::steady_timer acceptRetry;
    std::vector<std::shared_ptr<WebSocketSession>> sockets;
    // Connections waiting for a request, the longest waiting first.
    std::list<HttpSession*> idle;
};

// Counts one connection for as long as it lives, whichever session holds it.
class LiveServer::Impl::ConnectionSlot {
public:
    explicit ConnectionSlot(Impl& server) : server_(&server) { ++server.connections; }
    ~ConnectionSlot()
    {
        if (server_)
            server_->released();
    }
    ConnectionSlot(ConnectionSlot&& other) noexcept : server_(std::exchange(other.server_, nullptr)) {}
    ConnectionSlot(const ConnectionSlot&) = delete;
    ConnectionSlot& operator=(const ConnectionSlot&) = delete;
    ConnectionSlot& operator=(ConnectionSlot&&) = delete;

private:
    Impl* server_;
};

class LiveServer::Impl::WebSocketSession : public std::enable_shared_from_this<WebSocketSession> {
public:
    WebSocketSession(Impl& server, beast::tcp_stream stream, ConnectionSlot slot)
        : server_(server)
        , slot_(std::move(slot))
        , socket_(std::move(stream))
        , closeGuard_(server.io)
    {
    }

    void accept(const Request& request)
    {
        beast::get_lowest_layer(socket_).expires_never();
        socket_.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
        socket_.read_message_max(kMessageLimit);
        socket_.async_accept(request, [self = shared_from_this()](beast::error_code error) {
            if (error)
                return;
            self->server_.opened(self);
            self->read();
        });
    }

    void send(const std::shared_ptr<const std::string>& text)
    {
        if (closing_)
            return;
        if (queuedBytes_ + text->size() > kQueueLimit)
            return overflow();
        queuedBytes_ += text->size();
        outbox_.push_back(text);
        if (outbox_.size() == 1)
            writeNext();
    }

private:
    void read()
    {
        socket_.async_read(buffer_, [self = shared_from_this()](beast::error_code error, std::size_t) {
            if (error)
                return self->server_.closed(self.get());
            if (self->socket_.got_text() && !self->closing_)
                self->server_.received(beast::buffers_to_string(self->buffer_.data()));
            self->buffer_.consume(self->buffer_.size());
            self->read();
        });
    }

    void writeNext()
    {
        socket_.text(true);
        socket_.async_write(asio::buffer(*outbox_.front()),
                            [self = shared_from_this()](beast::error_code error, std::size_t) {
                                if (error)
                                    return self->server_.closed(self.get());
                                self->queuedBytes_ -= self->outbox_.front()->size();
                                self->outbox_.pop_front();
                                if (self->closing_)
                                    return self->closeForPolicy();
                                if (!self->outbox_.empty())
                                    self->writeNext();
                            });
    }

    // A page that does not read what it is sent is let go, after the message being written.
    void overflow()
    {
        closing_ = true;
        if (outbox_.empty())
            return closeForPolicy();
        outbox_.resize(1);
        queuedBytes_ = outbox_.front()->size();
        closeGuard_.expires_after(kCloseTimeout);
        closeGuard_.async_wait([self = shared_from_this()](beast::error_code error) {
            if (!error)
                beast::get_lowest_layer(self->socket_).close();
        });
    }

    void closeForPolicy()
    {
        closeGuard_.cancel();
        socket_.async_close(websocket::close_code::policy_error, [self = shared_from_this()](beast::error_code) {});
    }

    Impl& server_;
    ConnectionSlot slot_;
    websocket::stream<beast::tcp_stream> socket_;
    asio::steady_timer closeGuard_;
    beast::flat_buffer buffer_;
    std::deque<std::shared_ptr<const std::string>> outbox_;
    std::size_t queuedBytes_ = 0;
    bool closing_ = false;
};

class LiveServer::Impl::HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
    HttpSession(Impl& server, tcp::socket socket) : server_(server), slot_(server), stream_(std::move(socket)) {}
    ~HttpSession()
    {
        if (!server_.closing)
            leaveIdle();
    }
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    void read()
    {
        idleAt_ = server_.idle.insert(server_.idle.end(), this);
        parser_.emplace();
        parser_->header_limit(kHeaderLimit);
        parser_->body_limit(kRequestBodyLimit);
        stream_.expires_after(kHeaderTimeout);
        http::async_read(stream_, buffer_, *parser_, [self = shared_from_this()](beast::error_code error, std::size_t) {
            self->leaveIdle();
            if (error == http::error::header_limit)
                return self->refuseOversized(http::status::request_header_fields_too_large,
                                             "the request's header is too large");
            if (error == http::error::body_limit)
                return self->refuseOversized(http::status::payload_too_large, "the request's body is too large");
            if (!error)
                self->handle(self->parser_->release());
        });
    }

    // Makes room for a newer connection.
    void evict()
    {
        leaveIdle();
        beast::error_code ignored;
        stream_.socket().close(ignored);
    }

private:
    void leaveIdle()
    {
        if (idleAt_)
            server_.idle.erase(*std::exchange(idleAt_, std::nullopt));
    }

    void handle(const Request& request)
    {
        if (websocket::is_upgrade(request)) {
            if (auto refused = server_.refusal(request, true))
                return write(std::move(*refused));
            std::make_shared<WebSocketSession>(server_, std::move(stream_), std::move(slot_))->accept(request);
            return;
        }
        std::visit([this](auto&& response) { write(std::forward<decltype(response)>(response)); },
                   server_.answer(request));
    }

    void refuseOversized(http::status status, std::string reason)
    {
        write(textResponse(11, false, false, status, "text/plain; charset=utf-8", std::move(reason) + "\n"));
    }

    template <class Body>
    void write(http::response<Body> response)
    {
        auto held = std::make_shared<http::response<Body>>(std::move(response));
        stream_.expires_after(kWriteTimeout);
        http::async_write(stream_, *held, [self = shared_from_this(), held](beast::error_code error, std::size_t) {
            if (error)
                return;
            if (held->need_eof())
                return self->finish();
            self->read();
        });
    }

    // What the client still sends is read and dropped for a moment, so that it reads the answer
    // rather than a reset.
    void finish()
    {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        stream_.expires_after(kDrainTimeout);
        drain();
    }

    void drain()
    {
        buffer_.consume(buffer_.size());
        stream_.async_read_some(buffer_.prepare(4096),
                                [self = shared_from_this()](beast::error_code error, std::size_t count) {
                                    self->drained_ += count;
                                    if (!error && self->drained_ < kDrainLimit)
                                        self->drain();
                                });
    }

    Impl& server_;
    ConnectionSlot slot_;
    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    std::optional<std::list<HttpSession*>::iterator> idleAt_;
    std::size_t drained_ = 0;
};

LiveServer::Impl::Impl(LiveServer& serverOwner, LiveServerSettings serverSettings)
    : owner(serverOwner)
    , settings(std::move(serverSettings))
    , acceptor(io)
    , acceptRetry(io)
{
    for (const auto& folder : settings.folders) {
        std::error_code error;
        auto canonical = std::filesystem::canonical(folder, error);
        if (!error)
            folders.push_back(std::move(canonical));
    }
    for (const auto& file : settings.withheldFiles) {
        struct stat status = {};
        if (::stat(file.c_str(), &status) == 0)
            withheld.emplace_back(status.st_dev, status.st_ino);
    }
    beast::error_code error;
    const tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), settings.port);
    acceptor.open(endpoint.protocol(), error);
    if (!error)
        acceptor.set_option(asio::socket_base::reuse_address(true), error);
    if (!error)
        acceptor.bind(endpoint, error);
    if (!error)
        acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (error)
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(settings.port) + ": "
                                 + error.message());
    accept();
}

// Past the connection limit the one that waited longest for a request gives way, so that idle
// clients cannot keep the page's own requests out; with none idle, the next ones wait in the
// kernel's queue until one ends.
void LiveServer::Impl::accept()
{
    if (connections >= kConnectionLimit && !evictIdle()) {
        acceptPaused = true;
        return;
    }
    acceptor.async_accept([this](beast::error_code error, tcp::socket socket) {
        if (error == asio::error::operation_aborted)
            return;
        if (error)
            return retryAccept();
        acceptRetryDelay = kFirstAcceptRetry;
        std::make_shared<HttpSession>(*this, std::move(socket))->read();
        accept();
    });
}

bool LiveServer::Impl::evictIdle()
{
    if (idle.empty())
        return false;
    idle.front()->evict();
    return true;
}

// Out of descriptors, accepting again at once would only fail again: wait, longer each time.
void LiveServer::Impl::retryAccept()
{
    acceptRetry.expires_after(acceptRetryDelay);
    acceptRetryDelay =
        std::min(acceptRetryDelay * 2, std::chrono::duration_cast<std::chrono::milliseconds>(kLastAcceptRetry));
    acceptRetry.async_wait([this](beast::error_code error) {
        if (!error)
            accept();
    });
}

void LiveServer::Impl::released()
{
    --connections;
    if (closing || !acceptPaused)
        return;
    acceptPaused = false;
    accept();
}

bool LiveServer::Impl::carriesToken(const Request& request) const
{
    return sameSecret(fieldValue(targetQuery(request.target()), "token", '&'), settings.token);
}

bool LiveServer::Impl::carriesFileCookie(const Request& request) const
{
    const std::string name = cookieName();
    for (const auto& field : request) {
        if (field.name() == http::field::cookie && sameSecret(fieldValue(field.value(), name, ';'), fileSecret))
            return true;
    }
    return false;
}

// A page of another site that resolves its own name to 127.0.0.1 still names that host.
bool LiveServer::Impl::fromOwnHost(const Request& request) const
{
    if (request.count(http::field::host) != 1)
        return false;
    const std::string port = std::to_string(owner.port());
    const std::string_view host = request[http::field::host];
    return host == "127.0.0.1:" + port || host == "localhost:" + port;
}

std::optional<Response> LiveServer::Impl::refusal(const Request& request, bool webSocket) const
{
    if (!fromOwnHost(request))
        return refused(request, http::status::forbidden, "forbidden: unknown host");
    if (!carriesToken(request) && (webSocket || !carriesFileCookie(request)))
        return refused(request, http::status::forbidden, "forbidden: the token is missing or wrong");
    if (webSocket && request[http::field::origin] != "http://" + std::string(request[http::field::host]))
        return refused(request, http::status::forbidden, "forbidden: the WebSocket is only for the page's own origin");
    if (webSocket && targetPath(request.target()) != "/ws")
        return refused(request, http::status::not_found, "not found");
    return std::nullopt;
}

LiveServer::Impl::Answer LiveServer::Impl::answer(const Request& request) const
{
    if (request.method() != http::verb::get && request.method() != http::verb::head)
        return refused(request, http::status::method_not_allowed, "only GET and HEAD");
    if (auto refusedRequest = refusal(request, false))
        return std::move(*refusedRequest);
    const std::string path = decodedPath(targetPath(request.target()));
    if (const auto page = settings.pageFiles.find(path); page != settings.pageFiles.end())
        return pageResponse(request, page->second);
    return fileResponse(request, path);
}

Response LiveServer::Impl::pageResponse(const Request& request, const PageFile& page) const
{
    const std::string nonce = LiveServer::randomSecret();
    auto response =
        textResponse(request, http::status::ok, page.contentType, replacedAll(page.body, kNonceMark, nonce));
    response.set("Content-Security-Policy", pagePolicy(nonce));
    response.set("Referrer-Policy", "no-referrer");
    response.set(http::field::set_cookie, cookieName() + "=" + fileSecret + "; Path=/; HttpOnly; SameSite=Strict");
    return response;
}

LiveServer::Impl::Answer LiveServer::Impl::fileResponse(const Request& request, const std::string& path) const
{
    const auto file = servedFile(path, folders);
    const auto fd = file.empty() || !permitted.contains(file) ? std::nullopt : openServed(file);
    if (!fd)
        return refused(request, http::status::not_found, "not found");
    OpenFile opened(*fd);
    struct stat status = {};
    if (::fstat(opened.get(), &status) != 0 || static_cast<std::uintmax_t>(status.st_size) > kFileSizeLimit)
        return refused(request, http::status::forbidden, "forbidden: the file is larger than a page may load");
    const auto size = static_cast<std::uint64_t>(status.st_size);
    const auto addHeaders = [&](auto& response) {
        response.set(http::field::content_type, contentTypeOf(file));
        response.set(http::field::cache_control, "no-store");
        response.set("Content-Security-Policy", kFilePolicy);
        response.set("X-Content-Type-Options", "nosniff");
        response.set("Cross-Origin-Resource-Policy", "same-origin");
        response.keep_alive(request.keep_alive());
    };
    if (request.method() == http::verb::head) {
        Response response(http::status::ok, request.version());
        addHeaders(response);
        response.content_length(size);
        return response;
    }
    beast::file_posix handle;
    handle.native_handle(opened.release());
    FileResponse response(http::status::ok, request.version());
    beast::error_code error;
    response.body().reset(std::move(handle), error);
    if (error)
        return refused(request, http::status::not_found, "not found");
    addHeaders(response);
    response.content_length(size);
    return response;
}

// Opened without following a last link, then named again from the descriptor: a file swapped
// for a link or moved after the path was checked is not the file that was checked.
std::optional<int> LiveServer::Impl::openServed(const std::filesystem::path& file) const
{
    OpenFile opened(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (opened.get() < 0)
        return std::nullopt;
    struct stat status = {};
    if (::fstat(opened.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    if (std::find(withheld.begin(), withheld.end(), std::pair(status.st_dev, status.st_ino)) != withheld.end())
        return std::nullopt;
    std::error_code error;
    const auto named = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(opened.get()), error);
    if (error || named != file)
        return std::nullopt;
    return opened.release();
}

void LiveServer::Impl::opened(const std::shared_ptr<WebSocketSession>& session)
{
    sockets.push_back(session);
    if (owner.onClientOpened)
        owner.onClientOpened();
}

void LiveServer::Impl::closed(const WebSocketSession* session)
{
    std::erase_if(sockets, [session](const auto& socket) { return socket.get() == session; });
}

void LiveServer::Impl::received(std::string message)
{
    if (owner.onMessage)
        owner.onMessage(std::move(message));
}

LiveServer::LiveServer(LiveServerSettings settings) : impl_(std::make_unique<Impl>(*this, std::move(settings))) {}

LiveServer::~LiveServer() = default;

std::uint16_t LiveServer::port() const
{
    return impl_->acceptor.local_endpoint().port();
}

std::string LiveServer::origin() const
{
    return "http://127.0.0.1:" + std::to_string(port());
}

std::string LiveServer::pageUrl() const
{
    return origin() + "/?token=" + impl_->settings.token;
}

void LiveServer::runFor(std::chrono::milliseconds timeout)
{
    if (impl_->io.stopped())
        impl_->io.restart();
    impl_->io.run_one_for(timeout);
    impl_->io.poll();
}

void LiveServer::send(std::string text)
{
    const auto shared = std::make_shared<const std::string>(std::move(text));
    for (const auto& socket : std::vector(impl_->sockets))
        socket->send(shared);
}

std::size_t LiveServer::clientCount() const
{
    return impl_->sockets.size();
}

void LiveServer::permitReferencesIn(std::string_view html)
{
    for (const auto& path : referencedPaths(html)) {
        auto file = servedFile(decodedPath(path), impl_->folders);
        if (!file.empty())
            impl_->permitted.insert(std::move(file));
    }
}

std::string LiveServer::randomSecret()
{
    std::random_device random;
    std::ostringstream secret;
    for (int i = 0; i < 4; ++i)
        secret << std::hex << std::setw(8) << std::setfill('0') << random();
    return secret.str();
}

std::vector<std::string> LiveServer::referencedPaths(std::string_view html)
{
    static constexpr std::array<std::pair<std::string_view, char>, 3> kReferences = {
        {{"src=\"", '"'}, {"href=\"", '"'}, {"url(", ')'}}};
    const std::string lower = vb::lowerAscii(html);
    std::vector<std::string> paths;
    for (const auto& [opening, closing] : kReferences) {
        for (auto at = lower.find(opening); at != std::string::npos; at = lower.find(opening, at + 1)) {
            const auto start = at + opening.size();
            const auto end = html.find(closing, start);
            if (end == std::string_view::npos)
                break;
            if (html.substr(start, 1) == "/")
                paths.emplace_back(html.substr(start, end - start));
        }
    }
    return paths;
}

std::string LiveServer::decodedPath(std::string_view urlPath)
{
    std::string decoded;
    for (std::size_t i = 0; i < urlPath.size(); ++i) {
        if (urlPath[i] != '%') {
            decoded += urlPath[i];
            continue;
        }
        if (i + 2 >= urlPath.size() || !std::isxdigit(static_cast<unsigned char>(urlPath[i + 1]))
            || !std::isxdigit(static_cast<unsigned char>(urlPath[i + 2])))
            return {};
        const char value = static_cast<char>(std::stoi(std::string(urlPath.substr(i + 1, 2)), nullptr, 16));
        if (value == '\0')
            return {};
        decoded += value;
        i += 2;
    }
    return decoded;
}

std::filesystem::path LiveServer::servedFile(std::string_view urlPath,
                                             const std::vector<std::filesystem::path>& folders)
{
    if (urlPath.empty() || urlPath.front() != '/')
        return {};
    std::error_code error;
    auto file = std::filesystem::weakly_canonical(std::filesystem::path(urlPath), error);
    if (error || !std::filesystem::is_regular_file(file, error) || contentTypeOf(file).empty())
        return {};
    for (const auto& folder : folders) {
        if (isInside(file, folder))
            return file;
    }
    return {};
}

}  // namespace velm::host
