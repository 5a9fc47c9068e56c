// The area picker over the demo area (generated): opened from "地図で指定", drawn with
// OpenGL under Xvfb, pictured for a person to look at, and confirmed into the main window.
#include "converter/ui/area_picker.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "converter/settings/start_checks.h"
#include "converter/ui/map_view.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

class AreaPickerTest : public WindowTest {
 protected:
  // The demo data and its settings (2 x 2 sheets, 10 % overlap, contours), once for all tests.
  static void SetUpTestSuite() {
    area = fs::temp_directory_path() / ("terralinea-picker-demo-" + std::to_string(::getpid()));
    const fs::path source = TERRALINEA_SOURCE_DIR, program = fs::path(TERRALINEA_BIN_DIR) / "terralinea";
    for (const char* folder : {"地図", "国土数値情報", "国土基本情報"}) fs::create_directories(area / folder);
    const std::string make = "/usr/bin/python3 " + quoted(source / "tools/make_demo_data.py") + " " + quoted(area) +
                             " > /dev/null && " + quoted(program) + " init " + quoted(area / "demo.trl") +
                             " --force > /dev/null && /usr/bin/python3 " + quoted(source / "tools/demo_settings.py") +
                             " " + quoted(area / "demo.trl") + " " + quoted(area);
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
  }
  static void TearDownTestSuite() { fs::remove_all(area); }

  // The picker as "地図で指定" makes it, shown on the screen.
  std::unique_ptr<ui::AreaPicker> openPicker(int sections = 0) {
    open(area / "demo.trl");
    window->settings().crossSectionsOn = sections > 0;
    window->settings().crossSectionCount = sections;
    window->settings().crossSectionAngle = 300;
    settings::RunValues values;
    geo::PlaneCoordinates coordinates;
    EXPECT_FALSE(settings::refuseSettings(window->settings(), values, window->printers(), coordinates, host));
    auto picker = std::make_unique<ui::AreaPicker>(window->settings(), values, coordinates, host);
    picker->open();
    picker->resize(1200, 800);
    picker->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(picker.get()));
    QApplication::processEvents();
    return picker;
  }

  static inline fs::path area;
};

// Counts of pixels near a colour.
int pixelsOf(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) < 8 && std::abs(c.green() - colour.green()) < 8 &&
          std::abs(c.blue() - colour.blue()) < 8)
        ++n;
    }
  return n;
}

TEST_F(AreaPickerTest, DrawsTheDemoAreaWithItsSheetsAndTheMeshAndIsPictured) {
  if (!ui::openGlAvailable()) GTEST_SKIP() << "no OpenGL on this display";
  auto picker = openPicker();
  EXPECT_TRUE(host.shown.empty()) << host.shown[0].text;
  EXPECT_GT(picker->map().used(), 1000u);
  EXPECT_EQ(picker->findChild<QComboBox*>("pickerLevel")->currentIndex(), 5);
  EXPECT_EQ(picker->editor().rows(), 2);
  EXPECT_EQ(picker->editor().columns(), 2);
  EXPECT_TRUE(picker->editor().sheetFits());

  QWidget* map = picker->mapWidget();
  const QImage whole = ui::grabMap(map);
  ASSERT_FALSE(whole.isNull());
  EXPECT_GT(pixelsOf(whole, QColor(51, 127, 51)), 200);  // town boundaries (0.2, 0.5, 0.2)
  const QString folder = QString(TERRALINEA_BUILD_DIR) + "/screenshots";
  QDir().mkpath(folder);
  EXPECT_TRUE(whole.save(folder + "/area-picker-data.png"));

  // The area with a margin of its own size, as the wheel would bring it.
  auto& e = picker->editor();
  const double w = e.east - e.west, h = e.north - e.south;
  e.view = {e.west - w, e.east + w, e.south - h, e.north + h};
  e.setClientSize(map->width(), map->height());
  const QImage plain = ui::grabMap(map);
  EXPECT_GT(pixelsOf(plain, QColor(0, 255, 0)), 2000);  // the grid and its outline

  // The mesh overlay while the right button is held.
  QTest::mousePress(map, Qt::RightButton, {}, QPoint(400, 300));
  const QImage meshed = ui::grabMap(map);
  EXPECT_GT(pixelsOf(meshed, QColor(102, 255, 102)), pixelsOf(plain, QColor(102, 255, 102)) + 500);
  EXPECT_TRUE(meshed.save(folder + "/area-picker.png"));
  EXPECT_TRUE(picker->grab().save(folder + "/area-picker-window.png"));
  QTest::mouseRelease(map, Qt::RightButton, {}, QPoint(400, 300));
  EXPECT_EQ(ui::grabMap(map), plain);

  // Roads at level "道路", drawn in grey, and back.
  picker->chooseLevel(picker::kRoadLevel);
  const QImage roads = ui::grabMap(map);
  EXPECT_GT(pixelsOf(roads, QColor(127, 127, 127)), 500);
  picker->chooseLevel(picker::kOtherLevel);
  EXPECT_EQ(pixelsOf(ui::grabMap(map), QColor(127, 127, 127)), 0);
  picker->close();
}

TEST_F(AreaPickerTest, PreviewsTheCrossSectionsOfEverySheet) {
  if (!ui::openGlAvailable()) GTEST_SKIP() << "no OpenGL on this display";
  auto picker = openPicker(3);
  EXPECT_FALSE(picker->findChild<QSpinBox*>("pickerAngle")->isHidden());
  auto& e = picker->editor();
  const double w = e.east - e.west, h = e.north - e.south;
  e.view = {e.west - w / 4, e.east + w / 4, e.south - h / 4, e.north + h / 4};
  e.setClientSize(picker->mapWidget()->width(), picker->mapWidget()->height());
  const QImage image = ui::grabMap(picker->mapWidget());
  EXPECT_GT(pixelsOf(image, QColor(0, 0, 255)), 400);  // the first section of each sheet
  EXPECT_TRUE(image.save(QString(TERRALINEA_BUILD_DIR) + "/screenshots/area-picker-sections.png"));
  picker->close();
}

TEST_F(AreaPickerTest, TakesTheMainWindowsOverlapAndConfirmsIntoIt) {
  auto& w = open(area / "demo.trl");
  w.findChild<QSpinBox*>("overlapPercent")->setValue(20);
  auto* pick = w.findChild<QPushButton*>("pickAreaButton");
  ASSERT_NE(pick, nullptr);
  bool seen = false;
  // The picker loads its map before it turns modal: wait for it.
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* picker = dynamic_cast<ui::AreaPicker*>(QApplication::activeModalWidget());
    if (!picker || seen) return;
    seen = true;
    auto* overlap = picker->findChild<QSpinBox*>("pickerOverlap");
    EXPECT_EQ(overlap->value(), 20);
    EXPECT_FALSE(overlap->isHidden());
    picker->findChild<QSpinBox*>("pickerColumns")->setValue(3);
    // A new area at scale "用紙いっぱいに": a click without movement is widened to a metre.
    picker->editor().setScale(0);
    QTest::mouseClick(picker->mapWidget(), Qt::LeftButton, {}, QPoint(300, 200));
    picker->findChild<QPushButton*>("pickerConfirm")->click();
  });
  poll.start();
  pick->click();
  ASSERT_TRUE(seen);
  const auto& s = w.settings();
  EXPECT_EQ(s.sheetColumns, "3");
  EXPECT_EQ(s.overlapPercent, 20);
  EXPECT_EQ(s.scaleChoice, 0);
  // A metre, shrunk inwards to whole units.
  EXPECT_NEAR(static_cast<double>(std::stoll(s.eastEdge) - std::stoll(s.westEdge)), 1000, 1);
  EXPECT_NEAR(static_cast<double>(std::stoll(s.northEdge) - std::stoll(s.southEdge)), 1000, 1);
  EXPECT_EQ(w.findChild<QLineEdit*>("eastEdge")->text().toStdString(), s.eastEdge);
}

}  // namespace
