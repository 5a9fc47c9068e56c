// GoogleTest with a Qt application on the offscreen platform: no display is needed.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "converter/ui/gui_main.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ui::prepareApplication(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
