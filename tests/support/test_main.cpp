// Test entry: a toolkit application with widgets (form controls are real
// child windows) on the offscreen platform, and message boxes recorded
// instead of shown.
#include <QApplication>

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "platform/toolkit_environment.h"
#include "support/test_files.h"

int main(int argc, char** argv) {
  kiv::PrepareToolkitEnvironment(true);
  QApplication app(argc, argv);
  kiv::SetMessageBoxHandler(kiv::testing::RecordingMessageBox);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
