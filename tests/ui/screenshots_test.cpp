// Pictures of the windows at the two common desktop sizes, written to the build folder
// for a person to look at; the layout must fit the smaller one.
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTabWidget>

#include "converter/ui/run_window.h"
#include "converter/ui/style_dialog.h"
#include "tests/ui/ui_fixture.h"

namespace {

QString screenshotFolder() {
  const QString folder = QString(TERRALINEA_BUILD_DIR) + "/screenshots";
  QDir().mkpath(folder);
  return folder;
}

using Screenshots = WindowTest;

TEST_F(Screenshots, MainWindowFitsAndIsPictured) {
  open();
  for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)}) {
    // The room a desktop leaves: a panel and the title bar.
    const QSize room(screen.width(), screen.height() - 70);
    const QSize needed = window->minimumSizeHint();


    EXPECT_LE(needed.width(), room.width()) << screen.width();
    EXPECT_LE(needed.height(), room.height()) << screen.height();
    const QSize size = screen.width() < 1900 ? room : QSize(1400, 860);
    window->resize(size);
    window->show();
    for (int tab = 0; tab < window->tabs()->count(); ++tab) {
      window->tabs()->setCurrentIndex(tab);
      QApplication::processEvents();
      const QString name = QString("%1/main-window-%2x%3-tab%4.png")
                               .arg(screenshotFolder())
                               .arg(screen.width())
                               .arg(screen.height())
                               .arg(tab);
      EXPECT_TRUE(window->grab().save(name)) << name.toStdString();
    }
  }
  window->tabs()->setCurrentIndex(0);
}

TEST_F(Screenshots, DialogsArePictured) {
  open();
  const auto shoot = [](QWidget& dialog, const char* name) {
    dialog.show();
    QApplication::processEvents();
    // Nothing is cut: the dialog is at least as large as its layout needs.
    EXPECT_GE(dialog.width(), dialog.minimumSizeHint().width()) << name;
    EXPECT_GE(dialog.height(), dialog.minimumSizeHint().height()) << name;
    EXPECT_TRUE(dialog.grab().save(screenshotFolder() + "/" + name + ".png")) << name;
    dialog.hide();
  };
  ui::StyleDialog style({0x808080, 2, 12}, 0, QStringLiteral("002道路縁"), window.get());
  shoot(style, "style-dialog");
  ui::StyleDialog oldStyle({0x0000FF, 2, 12}, 2, QString(), window.get());
  shoot(oldStyle, "style-dialog-format2");
  ui::MarginDialog margins(5, 10, 5, 10, window.get());
  shoot(margins, "margin-dialog");
  ui::MemoryDialog memory(1, 8, 8000000, window.get());
  shoot(memory, "memory-dialog");
}

TEST_F(Screenshots, RunWindowIsPictured) {
  open();
  auto* run = window->runWindow();
  using L = sheet::ProgressLine;
  run->progress(L::TotalCaption, "ファイル数");
  run->progress(L::Total, "84");
  run->progress(L::Counter, "37");
  run->progress(L::Phase, "図形データ 建築物の外周線");
  run->progress(L::Detail, "20000");
  run->progress(L::File, "FG-GML-533945-BldA-20201001-0001.xml");
  run->progress(L::Caption, "処理開始時刻 12:34:56");
  QApplication::processEvents();
  EXPECT_EQ(run->size(), QSize(790, 142));
  // Every line is readable at its length.
  for (L line : {L::Total, L::Phase, L::File}) {
    const QLabel* label = run->line(line);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << label->text().toStdString();
  }
  EXPECT_TRUE(run->grab().save(screenshotFolder() + "/run-window.png"));
  run->reset();
}

}  // namespace
