#pragma once

#include "velm/DataIO.h"

namespace quorin {

// Saves a document's scope flag FromRoot and puts it back when it ends.
class SavedScope {
public:
    explicit SavedScope(velm::DataIO& data) : data_(data), fromRoot_(data.FromRoot()) {}
    ~SavedScope() { data_.setFromRoot(fromRoot_); }
    SavedScope(const SavedScope&) = delete;
    SavedScope& operator=(const SavedScope&) = delete;

private:
    velm::DataIO& data_;
    bool fromRoot_;
};

// Saves a document's current element and puts it back when it ends.
class SavedPosition {
public:
    explicit SavedPosition(velm::DataIO& data) : data_(data), position_(data.GetPosition()) {}
    ~SavedPosition() { data_.SetPosition(position_); }
    SavedPosition(const SavedPosition&) = delete;
    SavedPosition& operator=(const SavedPosition&) = delete;

private:
    velm::DataIO& data_;
    velm::DataIO::Position position_;
};

// Saves both, for code that must not disturb other readers of the document; the current
// element goes back first, then the scope flag.
class SavedPlace {
public:
    explicit SavedPlace(velm::DataIO& data) : scope_(data), position_(data) {}

private:
    SavedScope scope_;
    SavedPosition position_;
};

}  // namespace quorin
