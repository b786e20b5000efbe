#include "host/driver/InputFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

namespace velm::host {
namespace {

namespace fs = std::filesystem;

std::string reasonOf(int error)
{
    switch (error) {
    case ENOENT: return "no such file";
    case EACCES: return "permission denied";
    case EISDIR: return "it is a folder";
    case ENOSPC: return "no space left on the device";
    default: return std::generic_category().message(error);
    }
}

UsageError readError(const fs::path& path, const std::string& reason)
{
    return UsageError("cannot read " + path.string() + ": " + reason);
}

UsageError writeError(const fs::path& path, const std::string& reason)
{
    return UsageError("cannot write " + path.string() + ": " + reason);
}

// Only a regular file is read: a pipe or a device may block forever or be read only once.
std::string notAFileReason(fs::file_type type)
{
    switch (type) {
    case fs::file_type::directory: return "it is a folder";
    case fs::file_type::fifo: return "it is a pipe, not a file (give - to read the standard input)";
    case fs::file_type::character:
    case fs::file_type::block: return "it is a device, not a file (give - to read the standard input)";
    default: return "it is not a regular file";
    }
}

// A file descriptor closed when it goes out of scope; close() reports failures where they matter.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    // Closes now; the errno of a failed close, 0 when it succeeded.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// The errno of a failed write, 0 when every byte was written.
int writeAll(int fd, const vb::ByteArray& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const auto count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return errno;
        written += static_cast<std::size_t>(count);
    }
    return 0;
}

// The errno of a failed open, write or close, 0 when every byte reached the file.
int writeWhole(const fs::path& path, const vb::ByteArray& bytes)
{
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return errno;
    if (const int error = writeAll(file.get(), bytes))
        return error;
    return file.close();
}

// A regular file is replaced by renaming a complete copy over it, so a full disk leaves the old state whole.
void replaceFile(const fs::path& path, const vb::ByteArray& bytes)
{
    std::error_code error;
    const fs::path target = fs::is_symlink(path, error) ? fs::canonical(path, error) : path;
    const auto status = fs::status(target, error);
    const fs::path partial = target.string() + ".partial-" + std::to_string(::getpid());
    if (const int failure = writeWhole(partial, bytes)) {
        fs::remove(partial, error);
        throw writeError(path, reasonOf(failure));
    }
    if (fs::exists(status))
        fs::permissions(partial, status.permissions(), error);
    fs::rename(partial, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        throw writeError(path, reasonOf(error.value()));
    }
}

}  // namespace

vb::ByteArray readFileBytes(const fs::path& path)
{
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error)
        throw readError(path, reasonOf(error.value()));
    if (status.type() != fs::file_type::regular)
        throw readError(path, notAFileReason(status.type()));
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        throw readError(path, reasonOf(errno));
    vb::ByteArray bytes;
    unsigned char buffer[65536];
    for (;;) {
        const auto count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw readError(path, reasonOf(errno));
        if (count == 0)
            return bytes;
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
}

std::string readFileText(const fs::path& path)
{
    const auto bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::string readFileHead(const fs::path& path, std::size_t bytes)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(bytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

std::string readInputText(const std::string& name, Console& console)
{
    if (name != "-")
        return readFileText(name);
    if (console.inTaken)
        throw UsageError("only one input can be read from the standard input: " + name);
    console.inTaken = true;
    std::string text((std::istreambuf_iterator<char>(console.in)), std::istreambuf_iterator<char>());
    if (console.in.bad())
        throw UsageError("cannot read the standard input");
    return text;
}

void writeFileBytes(const fs::path& path, const vb::ByteArray& bytes)
{
    std::error_code error;
    const auto status = fs::status(path, error);
    if (status.type() == fs::file_type::directory)
        throw writeError(path, "it is a folder");
    if (!fs::exists(status) || status.type() == fs::file_type::regular)
        return replaceFile(path, bytes);
    // A device or a pipe is written where it is.
    if (const int failure = writeWhole(path, bytes))
        throw writeError(path, reasonOf(failure));
}

}  // namespace velm::host
