#pragma once

namespace platform {

// The base of every object created by programmatic name; callers cast to the interface they need.
class ComObject {
public:
    virtual ~ComObject();
};

}  // namespace platform
