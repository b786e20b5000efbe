#include "platform/Connection.h"

#include <utility>

namespace platform {

Connection& Connection::operator=(Connection&& other) noexcept
{
    if (this != &other) {
        disconnect();
        link_ = std::move(other.link_);
    }
    return *this;
}

void Connection::disconnect()
{
    if (auto link = link_.lock())
        link->connected = false;
    link_.reset();
}

bool Connection::connected() const
{
    auto link = link_.lock();
    return link && link->connected;
}

}  // namespace platform
