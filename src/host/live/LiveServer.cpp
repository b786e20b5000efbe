// The only source file that includes Boost.Beast: it compiles slowly, so nothing else does.
#include "host/live/LiveServer.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <algorithm>
#include <deque>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace velm::host {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
using Request = http::request<http::string_body>;
using Response = http::response<http::string_body>;

constexpr std::string_view kCookieName = "velm_token";
constexpr std::size_t kRequestBodyLimit = 64 * 1024;
constexpr std::size_t kMessageLimit = 4 * 1024 * 1024;
constexpr auto kRequestTimeout = std::chrono::seconds(30);

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
    if (given.size() != token.size())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < token.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ token[i]);
    return difference == 0;
}

std::string contentTypeOf(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const std::map<std::string, std::string, std::less<>> types = {
        {".bmp", "image/bmp"}, {".png", "image/png"},       {".gif", "image/gif"},        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"}, {".svg", "image/svg+xml"}, {".htm", "text/html"},        {".html", "text/html"},
        {".css", "text/css"},  {".js", "text/javascript"},  {".xml", "application/xml"},
    };
    const auto found = types.find(extension);
    return found == types.end() ? "application/octet-stream" : found->second;
}

std::optional<std::string> fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(bytes).str();
}

bool isInside(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    const auto [folderEnd, fileAt] = std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
    return folderEnd == folder.end() && fileAt != file.end();
}

}  // namespace

class LiveServer::Impl {
public:
    Impl(LiveServer& owner, LiveServerSettings settings);

    class WebSocketSession;
    class HttpSession;

    void accept();
    Response answer(const Request& request) const;
    std::optional<Response> refusal(const Request& request, bool webSocket) const;
    bool carriesToken(const Request& request) const;
    bool fromOwnHost(const Request& request) const;
    Response fileResponse(const Request& request, const std::string& path) const;
    void opened(const std::shared_ptr<WebSocketSession>& session);
    void closed(const WebSocketSession* session);
    void received(std::string message);

    LiveServer& owner;
    LiveServerSettings settings;
    std::vector<std::filesystem::path> folders;
    asio::io_context io;
    tcp::acceptor acceptor;
    std::vector<std::shared_ptr<WebSocketSession>> sockets;
};

class LiveServer::Impl::WebSocketSession : public std::enable_shared_from_this<WebSocketSession> {
public:
    WebSocketSession(Impl& server, beast::tcp_stream stream) : server_(server), socket_(std::move(stream)) {}

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

    void send(std::string text)
    {
        outbox_.push_back(std::move(text));
        if (outbox_.size() == 1)
            writeNext();
    }

private:
    void read()
    {
        socket_.async_read(buffer_, [self = shared_from_this()](beast::error_code error, std::size_t) {
            if (error)
                return self->server_.closed(self.get());
            if (self->socket_.got_text())
                self->server_.received(beast::buffers_to_string(self->buffer_.data()));
            self->buffer_.consume(self->buffer_.size());
            self->read();
        });
    }

    void writeNext()
    {
        socket_.text(true);
        socket_.async_write(asio::buffer(outbox_.front()), [self = shared_from_this()](beast::error_code error, std::size_t) {
            if (error)
                return self->server_.closed(self.get());
            self->outbox_.pop_front();
            if (!self->outbox_.empty())
                self->writeNext();
        });
    }

    Impl& server_;
    websocket::stream<beast::tcp_stream> socket_;
    beast::flat_buffer buffer_;
    std::deque<std::string> outbox_;
};

class LiveServer::Impl::HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
    HttpSession(Impl& server, tcp::socket socket) : server_(server), stream_(std::move(socket)) {}

    void read()
    {
        parser_.emplace();
        parser_->body_limit(kRequestBodyLimit);
        stream_.expires_after(kRequestTimeout);
        http::async_read(stream_, buffer_, *parser_, [self = shared_from_this()](beast::error_code error, std::size_t) {
            if (!error)
                self->handle(self->parser_->release());
        });
    }

private:
    void handle(Request request)
    {
        if (websocket::is_upgrade(request)) {
            if (auto refused = server_.refusal(request, true))
                return write(std::move(*refused));
            std::make_shared<WebSocketSession>(server_, std::move(stream_))->accept(request);
            return;
        }
        write(server_.answer(request));
    }

    void write(Response response)
    {
        auto held = std::make_shared<Response>(std::move(response));
        http::async_write(stream_, *held, [self = shared_from_this(), held](beast::error_code error, std::size_t) {
            if (error || held->need_eof()) {
                beast::error_code ignored;
                self->stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
                return;
            }
            self->read();
        });
    }

    Impl& server_;
    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
};

namespace {

Response textResponse(const Request& request, http::status status, std::string contentType, std::string body)
{
    Response response(status, request.version());
    response.set(http::field::content_type, contentType);
    response.set(http::field::cache_control, "no-store");
    response.set("X-Content-Type-Options", "nosniff");
    response.keep_alive(request.keep_alive());
    response.body() = request.method() == http::verb::head ? std::string() : std::move(body);
    response.prepare_payload();
    return response;
}

Response refused(const Request& request, http::status status, std::string reason)
{
    return textResponse(request, status, "text/plain; charset=utf-8", std::move(reason) + "\n");
}

std::string_view targetPath(std::string_view target) { return target.substr(0, target.find('?')); }

std::string_view targetQuery(std::string_view target)
{
    const auto mark = target.find('?');
    return mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
}

}  // namespace

LiveServer::Impl::Impl(LiveServer& serverOwner, LiveServerSettings serverSettings)
    : owner(serverOwner)
    , settings(std::move(serverSettings))
    , acceptor(io)
{
    for (const auto& folder : settings.folders) {
        std::error_code error;
        auto canonical = std::filesystem::canonical(folder, error);
        if (!error)
            folders.push_back(std::move(canonical));
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
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(settings.port) + ": " + error.message());
    accept();
}

void LiveServer::Impl::accept()
{
    acceptor.async_accept([this](beast::error_code error, tcp::socket socket) {
        if (!error)
            std::make_shared<HttpSession>(*this, std::move(socket))->read();
        accept();
    });
}

bool LiveServer::Impl::carriesToken(const Request& request) const
{
    const std::string_view target = request.target();
    if (sameSecret(fieldValue(targetQuery(target), "token", '&'), settings.token))
        return true;
    const auto cookie = request.find(http::field::cookie);
    return cookie != request.end() && sameSecret(fieldValue(cookie->value(), kCookieName, ';'), settings.token);
}

// A page of another site that resolves its own name to 127.0.0.1 still names that host.
bool LiveServer::Impl::fromOwnHost(const Request& request) const
{
    const std::string port = std::to_string(owner.port());
    const std::string_view host = request[http::field::host];
    return host == "127.0.0.1:" + port || host == "localhost:" + port;
}

std::optional<Response> LiveServer::Impl::refusal(const Request& request, bool webSocket) const
{
    if (!fromOwnHost(request))
        return refused(request, http::status::forbidden, "forbidden: unknown host");
    if (!carriesToken(request))
        return refused(request, http::status::forbidden, "forbidden: the token is missing or wrong");
    if (webSocket && request[http::field::origin] != owner.origin())
        return refused(request, http::status::forbidden, "forbidden: the WebSocket is only for the page's own origin");
    if (webSocket && targetPath(request.target()) != "/ws")
        return refused(request, http::status::not_found, "not found");
    return std::nullopt;
}

Response LiveServer::Impl::answer(const Request& request) const
{
    if (request.method() != http::verb::get && request.method() != http::verb::head)
        return refused(request, http::status::method_not_allowed, "only GET and HEAD");
    if (auto refusedRequest = refusal(request, false))
        return std::move(*refusedRequest);
    const std::string path = decodedPath(targetPath(request.target()));
    if (const auto page = settings.pageFiles.find(path); page != settings.pageFiles.end()) {
        auto response = textResponse(request, http::status::ok, page->second.contentType, page->second.body);
        response.set(http::field::set_cookie,
                     std::string(kCookieName) + "=" + settings.token + "; Path=/; HttpOnly; SameSite=Strict");
        return response;
    }
    return fileResponse(request, path);
}

Response LiveServer::Impl::fileResponse(const Request& request, const std::string& path) const
{
    const auto file = servedFile(path, folders);
    if (file.empty())
        return refused(request, http::status::not_found, "not found");
    auto bytes = fileBytes(file);
    if (!bytes)
        return refused(request, http::status::not_found, "not found");
    return textResponse(request, http::status::ok, contentTypeOf(file), std::move(*bytes));
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

LiveServer::LiveServer(LiveServerSettings settings)
    : impl_(std::make_unique<Impl>(*this, std::move(settings)))
{
}

LiveServer::~LiveServer() = default;

std::uint16_t LiveServer::port() const { return impl_->acceptor.local_endpoint().port(); }

std::string LiveServer::origin() const { return "http://127.0.0.1:" + std::to_string(port()); }

std::string LiveServer::pageUrl() const { return origin() + "/?token=" + impl_->settings.token; }

void LiveServer::runFor(std::chrono::milliseconds timeout)
{
    if (impl_->io.stopped())
        impl_->io.restart();
    impl_->io.run_one_for(timeout);
    impl_->io.poll();
}

void LiveServer::send(std::string text)
{
    for (const auto& socket : impl_->sockets)
        socket->send(text);
}

std::size_t LiveServer::clientCount() const { return impl_->sockets.size(); }

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

std::filesystem::path LiveServer::servedFile(std::string_view urlPath, const std::vector<std::filesystem::path>& folders)
{
    if (urlPath.empty() || urlPath.front() != '/')
        return {};
    std::error_code error;
    const auto file = std::filesystem::weakly_canonical(std::filesystem::path(urlPath), error);
    if (error || !std::filesystem::is_regular_file(file, error))
        return {};
    for (const auto& folder : folders) {
        if (isInside(file, folder))
            return file;
    }
    return {};
}

}  // namespace velm::host
