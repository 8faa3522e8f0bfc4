#include "platform/toolkit_environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QtGlobal>

#include <string>

namespace kiv {

void PrepareToolkitEnvironment(bool headless) {
  if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  }
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const std::string dir = "/tmp/runtime-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    struct stat st;
    if (::stat(dir.c_str(), &st) == 0 && st.st_uid == ::getuid() && (st.st_mode & 0077) == 0) {
      qputenv("XDG_RUNTIME_DIR", QByteArray(dir.c_str()));
    }
  }
}

}  // namespace kiv
