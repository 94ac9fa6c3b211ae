#pragma once
// What every command and handler works with: the desktop, the main window's form, the shared
// state, the settings file and the service's addresses. The program owns them all and hands
// this bundle of references to its parts; nothing here is global.

#include <filesystem>

#include "app/main_window.h"
#include "app/service_endpoints.h"
#include "app/settings.h"
#include "app/shared_state.h"
#include "platform/desktop.h"

namespace tarnwick {

struct AppContext {
  Desktop& desktop;
  MainWindow& window;
  SharedState& state;
  SettingsFile& settings;
  const ServiceEndpoints& services;
  std::filesystem::path runDirectory;
};

}  // namespace tarnwick
