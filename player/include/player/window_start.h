#pragma once
// The hand-over from the sonvira program to its window. Loading Qt's libraries takes longer
// than everything the first sound needs, so the program itself links no toolkit: it starts
// the sound, then loads its window (a module it carries, built from the same sources at the
// same time) and calls kWindowEntry with this.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "player/player_session.h"

namespace player {

struct WindowStart {
  int argc = 0;
  char** argv = nullptr;
  AudioLibrary* library = nullptr;
  std::optional<PlayerSession>* session = nullptr;  // empty when start-up was refused before it
  std::optional<Notice> refused;                    // start-up ends with this box
  std::filesystem::path privateFolder;
  std::function<void(const std::string&)> log;  // empty without --verbose
};

// Runs the window until it closes; returns the exit status.
using WindowEntry = int (*)(WindowStart* start);
inline constexpr char kWindowEntry[] = "sonvira_window_main";

}  // namespace player
