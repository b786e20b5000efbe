#pragma once

#include "platform/WindowSystem.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

namespace velm::host {

// The screen inside the driver's window as the picture page draws it: {"screen", "loads",
// "width", "height"}, every browser control's document given as the load of its frame and the
// size in CSS pixels that holds every shown window.
nlohmann::ordered_json screenSnapshot(platform::WindowHandle driverWindow);

// The live page for a picture: it draws snapshot at once instead of connecting to a driver,
// and shows no driver's panel.
std::string picturePageHtml(const nlohmann::ordered_json& snapshot);

// Writes a PNG of the snapshot, drawn by the live page in headless Chromium (the program named
// by $VELM_CHROMIUM, else chromium-headless-shell); UsageError naming why when it cannot.
void writeScreenPicture(const nlohmann::ordered_json& snapshot, const std::filesystem::path& png);

}  // namespace velm::host
