#include "platform/toolkit_environment.h"

#include <QByteArray>
#include <QtGlobal>

#include <string>

#include "platform/user_runtime_dir.h"

namespace kiv {

void PrepareToolkitEnvironment(bool headless) {
  if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  }
  // Only a folder checked as private (never one another user could have
  // made first, nor a link) becomes the toolkit's runtime folder.
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const std::string dir = UserRuntimeDir();
    if (!dir.empty()) qputenv("XDG_RUNTIME_DIR", QByteArray(dir.c_str()));
  }
}

}  // namespace kiv
