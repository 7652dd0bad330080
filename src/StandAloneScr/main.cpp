// StandAloneScr: picks its mode from the screensaver command line and runs it.
#include <exception>
#include <iostream>

#include "platform/linux/LinuxSystem.h"
#include "ui/Startup.h"
#include "ui/uConfig.h"

int main(int argc, char** argv) {
  lumevra::LinuxSystem system(argc, argv);
  // The studio settings live as long as the process.
  lumevra::TLVConfig studioConfig(system);
  try {
    // Modes without a handler report themselves until their windows exist.
    return lumevra::RunStartup(system, lumevra::StartupHandlers{}, std::cout);
  } catch (const std::exception& e) {
    std::cerr << "StandAloneScr: " << e.what() << "\n";
    return 1;
  }
}
