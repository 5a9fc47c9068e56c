// GoogleTest with a Qt application on the display xvfb-run provides: the area picker's map
// needs OpenGL, which the offscreen platform lacks.
#include <gtest/gtest.h>

#include <QApplication>

#include "converter/ui/gui_main.h"
#include "converter/ui/map_view.h"

int main(int argc, char** argv) {
  ui::prepareGlFormat();
  QApplication app(argc, argv);
  ui::prepareApplication(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
