// The viewer's main window under a display (xvfb-run): files opened as the command line
// opens them, tabs, the view menu, the wheel, and the layout without a view of its own.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QImage>
#include <QSurfaceFormat>
#include <QTabBar>
#include <QWheelEvent>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/common/temp_folder.h"
#include "viewer/ui/drawing_view.h"
#include "viewer/ui/main_window.h"
#include "viewer/ui/point_style_dialog.h"

namespace {

// A drawing with a saved model view, a red line, and two layouts: "Layout1" with its paper
// view and one viewport, "Empty" without any view.
std::string twoLayouts() {
  const std::vector<std::string> pairs = {"0",   "SECTION",
                                          "2",   "TABLES",
                                          "0",   "TABLE",
                                          "2",   "VPORT",
                                          "0",   "VPORT",
                                          "2",   "*ACTIVE",
                                          "12",  "50",
                                          "22",  "50",
                                          "40",  "100",
                                          "41",  "1.5",
                                          "16",  "0",
                                          "26",  "0",
                                          "36",  "1",
                                          "0",   "ENDTAB",
                                          "0",   "TABLE",
                                          "2",   "LAYER",
                                          "0",   "LAYER",
                                          "2",   "0",
                                          "62",  "7",
                                          "0",   "LAYER",
                                          "2",   "RED",
                                          "62",  "1",
                                          "0",   "ENDTAB",
                                          "0",   "ENDSEC",
                                          "0",   "SECTION",
                                          "2",   "BLOCKS",
                                          "0",   "BLOCK",
                                          "330", "1E",
                                          "2",   "*Paper_Space",
                                          "70",  "0",
                                          "0",   "ENDBLK",
                                          "0",   "BLOCK",
                                          "330", "2A",
                                          "2",   "*Paper_Space0",
                                          "70",  "0",
                                          "0",   "ENDBLK",
                                          "0",   "ENDSEC",
                                          "0",   "SECTION",
                                          "2",   "ENTITIES",
                                          "0",   "VIEWPORT",
                                          "330", "1E",
                                          "67",  "1",
                                          "10",  "210",
                                          "20",  "148",
                                          "40",  "420",
                                          "41",  "297",
                                          "12",  "210",
                                          "22",  "148",
                                          "45",  "297",
                                          "0",   "VIEWPORT",
                                          "330", "1E",
                                          "67",  "1",
                                          "10",  "210",
                                          "20",  "148",
                                          "40",  "200",
                                          "41",  "100",
                                          "12",  "50",
                                          "22",  "50",
                                          "45",  "100",
                                          "16",  "0",
                                          "26",  "0",
                                          "36",  "1",
                                          "0",   "LINE",
                                          "8",   "RED",
                                          "10",  "0",
                                          "20",  "0",
                                          "11",  "100",
                                          "21",  "100",
                                          "0",   "ENDSEC",
                                          "0",   "SECTION",
                                          "2",   "OBJECTS",
                                          "0",   "LAYOUT",
                                          "1",   "Layout1",
                                          "71",  "1",
                                          "330", "1E",
                                          "10",  "0",
                                          "20",  "0",
                                          "11",  "420",
                                          "21",  "297",
                                          "0",   "LAYOUT",
                                          "1",   "Empty",
                                          "71",  "2",
                                          "330", "2A",
                                          "0",   "ENDSEC",
                                          "0",   "EOF"};
  std::string text;
  for (const auto& p : pairs) text += p + "\r\n";
  return text;
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(temp / "two.dxf", twoLayouts());
    window.showMessage = [this](const QString& caption, const QString& text) {
      messages.push_back((caption + ": " + text).toStdString());
    };
    window.show();
    QApplication::processEvents();
  }
  TempFolder temp;
  viewer::MainWindow window;
  std::vector<std::string> messages;
};

TEST_F(Window, OpensAFileAndBuildsItsTabs) {
  ASSERT_TRUE(window.openFile(QString::fromStdString((temp / "two.dxf").string())));
  EXPECT_EQ(window.windowTitle().toStdString(), "Orbiscope - " + (temp / "two.dxf").string());
  ASSERT_EQ(window.tabs()->count(), 3);
  EXPECT_EQ(window.tabs()->tabText(0), "Model");
  EXPECT_EQ(window.tabs()->tabText(1), "Layout1");
  EXPECT_EQ(window.tabs()->tabText(2), "Empty");
  // A second file replaces the tabs.
  writeBytes(temp / "plain.dxf",
             "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nLINE\r\n10\r\n0\r\n20\r\n0\r\n11\r\n1\r\n21\r\n1\r\n0\r\nENDSEC\r\n"
             "0\r\nEOF\r\n");
  ASSERT_TRUE(window.openFile(QString::fromStdString((temp / "plain.dxf").string())));
  EXPECT_EQ(window.tabs()->count(), 1);
  EXPECT_FALSE(window.openFile(QString::fromStdString((temp / "absent.dxf").string())));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "警告: ファイルが見つかりません");
  EXPECT_EQ(window.tabs()->count(), 1);  // the loaded drawing stays
}

TEST_F(Window, ALayoutWithoutAViewGoesBackToTheModel) {
  ASSERT_TRUE(window.openFile(QString::fromStdString((temp / "two.dxf").string())));
  window.tabs()->setCurrentIndex(1);
  window.view()->repaint();
  QApplication::processEvents();
  EXPECT_TRUE(messages.empty());
  window.tabs()->setCurrentIndex(2);
  window.view()->repaint();
  // The frame that finds no view is painted when the server exposes the window: on a busy
  // machine that takes more than a few event rounds.
  QElapsedTimer waited;
  waited.start();
  while (messages.empty() && waited.elapsed() < 5000) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(5);
  }
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "表示できません: このレイアウト空間は未設定です");
  EXPECT_EQ(window.tabs()->currentIndex(), 0);
}

TEST_F(Window, ViewMenuDirectionsAndTheWheel) {
  ASSERT_TRUE(window.openFile(QString::fromStdString((temp / "two.dxf").string())));
  window.tabs()->setCurrentIndex(1);
  struct Case {
    const char* item;
    double x, y, z;
  };
  const Case cases[] = {{"南西図", -1, -1, 1}, {"北東図", 1, 1, 1}, {"正面図", 0, -1, 0}, {"平面図", 0, 0, 1}};
  for (const auto& c : cases) {
    QAction* a = window.action(c.item);
    ASSERT_NE(a, nullptr) << c.item;
    a->trigger();
    const auto d = window.drawing().views[0].direction;
    EXPECT_EQ(d.x, c.x) << c.item;
    EXPECT_EQ(d.y, c.y) << c.item;
    EXPECT_EQ(d.z, c.z) << c.item;
    EXPECT_EQ(window.tabs()->currentIndex(), 0) << c.item;
  }
  for (const char* disabled : {"レイヤー", "拡大", "縮小", "全体表示", "地上で一周（z軸）", "上下に一周", "印刷"}) {
    ASSERT_NE(window.action(disabled), nullptr) << disabled;
    EXPECT_FALSE(window.action(disabled)->isEnabled()) << disabled;
  }
  // In and out at the middle of the image: the view comes back.
  window.view()->repaint();
  const auto before = window.drawing().views[0];
  const QPointF middle(window.view()->width() / 2.0, window.view()->height() / 2.0);
  for (int delta : {120, -120}) {
    QWheelEvent wheel(middle, window.view()->mapToGlobal(middle), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.view(), &wheel);
  }
  const auto after = window.drawing().views[0];
  EXPECT_NEAR(after.height, before.height, 1e-9 * before.height);
  EXPECT_NEAR(after.viewCentreY, before.viewCentreY, 0.02 * before.height);
  EXPECT_NEAR(after.viewCentreX, before.viewCentreX, 0.02 * before.width);
}

TEST_F(Window, OrbitEndsAtAFullTurn) {
  ASSERT_TRUE(window.openFile(QString::fromStdString((temp / "two.dxf").string())));
  window.action("北西図")->trigger();
  window.orbit();
  const auto d = window.drawing().views[0].direction;
  EXPECT_NEAR(d.x * d.x + d.y * d.y + d.z * d.z, 1, 1e-12);
  EXPECT_NEAR(d.x, -1 / std::sqrt(3.0), 1e-12);
}

// A picture of the window for a person to look at: the demo sheet when the main job has
// written it, else the small drawing, on its model tab and on its layout tab.
TEST_F(Window, Screenshots) {
  const auto demo = std::filesystem::path(TERRALINEA_SOURCE_DIR) / "demo-out" / "地図" / "demoA0.dxf";
  const auto file = std::filesystem::exists(demo) ? demo : temp / "two.dxf";
  ASSERT_TRUE(window.openFile(QString::fromStdString(file.string())));
  const auto folder = std::filesystem::path(TERRALINEA_BIN_DIR) / ".." / "screenshots";
  std::filesystem::create_directories(folder);
  for (int tab : {0, 1}) {
    window.tabs()->setCurrentIndex(tab);
    window.view()->repaint();
    QApplication::processEvents();
    const auto path = folder / ("orbiscope-tab" + std::to_string(tab) + ".png");
    ASSERT_TRUE(window.grab().save(QString::fromStdString(path.string())));
  }
  EXPECT_TRUE(messages.empty());
}

// "Bitmap作成": a save dialog suggesting test.bmp in the current folder, then the model tab
// at twice the window's size with the yellow frame, through the command line's render path.
TEST_F(Window, BitmapIsTwiceTheWindowWithTheYellowFrame) {
  ASSERT_TRUE(window.openFile(QString::fromStdString((temp / "two.dxf").string())));
  window.view()->repaint();
  QString suggested;
  const auto out = temp / "view.bmp";
  window.askSavePath = [&](const QString&, const QString& path, const QString& filter) {
    suggested = path;
    EXPECT_TRUE(filter.contains("*.bmp") && filter.contains("*.png")) << filter.toStdString();
    return QString::fromStdString(out.string());
  };
  window.action("Bitmap作成")->trigger();
  EXPECT_EQ(suggested, QDir::current().filePath("test.bmp"));
  ASSERT_TRUE(std::filesystem::exists(out));
  QImage image(QString::fromStdString(out.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 2 * window.width());
  EXPECT_EQ(image.height(), 2 * window.height());
  const QRgb yellow = qRgb(255, 255, 0);
  const int w = image.width(), h = image.height();
  EXPECT_EQ(image.pixel(w / 2, 1), yellow);
  EXPECT_EQ(image.pixel(w / 2, h - 2), yellow);
  EXPECT_EQ(image.pixel(w - 2, h / 3), yellow);
  EXPECT_EQ(image.pixel(w / 3, h / 4), qRgb(255, 255, 255));
  // The red line of the drawing is in it too.
  int red = 0;
  for (int y = 0; y < h; y += 2)
    for (int x = 0; x < w; x += 2) red += image.pixel(x, y) == qRgb(255, 0, 0);
  EXPECT_GT(red, 100);
  // The window goes on drawing on its own context.
  window.view()->repaint();
  EXPECT_EQ(window.view()->grabFramebuffer().pixel(window.view()->width() / 3, 2), qRgb(255, 255, 255));
  EXPECT_TRUE(messages.empty());

  // A layout tab has no frame; cancelling the dialog writes nothing.
  window.tabs()->setCurrentIndex(1);
  ASSERT_TRUE(window.writeBitmap(QString::fromStdString((temp / "layout.png").string())));
  EXPECT_NE(QImage(QString::fromStdString((temp / "layout.png").string())).pixel(w / 2, 1), yellow);
  window.askSavePath = [](const QString&, const QString&, const QString&) { return QString(); };
  std::filesystem::remove(out);
  window.action("Bitmap作成")->trigger();
  EXPECT_FALSE(std::filesystem::exists(out));
}

// "点スタイル" from the menu: the dialog opens on the drawing's style and its choice
// rebuilds the symbols the window draws.
TEST_F(Window, PointStyleFromTheMenu) {
  ASSERT_TRUE(window.openFile(QString::fromStdString((temp / "two.dxf").string())));
  ASSERT_TRUE(window.action("点スタイル")->isEnabled());
  window.runDialog = [](QDialog& dialog) {
    auto& style = dynamic_cast<viewer::PointStyleDialog&>(dialog);
    EXPECT_EQ(style.picture()->frame(), viewer::PointStyleDialog::frameOf(35));
    style.picture()->select(style.picture()->width() - 1, style.picture()->height() - 1);
    style.confirm();
    return dialog.result();
  };
  window.action("点スタイル")->trigger();
  EXPECT_EQ(window.drawing().pointMode, 100);
  EXPECT_EQ(window.drawing().pointSize, -5);
  window.view()->repaint();
}

}  // namespace

int main(int argc, char** argv) {
  QSurfaceFormat format;
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  QSurfaceFormat::setDefaultFormat(format);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
