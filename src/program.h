#pragma once
// The whole program on a given desktop: it owns the main window's form, the shared state (with
// the long-lived JSON readers), the settings file and the service addresses, wires every
// handler, and runs the start-up sequence. Two programs in one process share nothing.

#include <filesystem>

#include "app/app_context.h"
#include "sources/folder_recognition.h"

namespace tarnwick {

class Program {
 public:
  Program(Desktop& desktop, std::filesystem::path runDirectory,
          ServiceEndpoints services = ServiceEndpoints::FromEnvironment());
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Creates the main window: restores the options, lays out the output box for the window's
  // size, and hands the window to the desktop.
  void Start();

  MainWindow& window() { return window_; }
  SharedState& state() { return state_; }
  SettingsFile& settings() { return settings_; }
  AppContext& context() { return context_; }

 private:
  void AttachHandlers();

  Desktop& desktop_;
  std::filesystem::path runDirectory_;
  ServiceEndpoints services_;
  SharedState state_;
  MainWindow window_;
  SettingsFile settings_;
  AppContext context_;
  FolderWalk folderWalk_;
};

// The folder the running program lives in, where it keeps everything it stores.
std::filesystem::path ProgramFolder();

}  // namespace tarnwick
