#include "viewer/ui/main_window.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "viewer/gl/export.h"
#include "guikit/system_printers.h"
#include "viewer/gl/image_file.h"
#include "viewer/ui/drawing_view.h"
#include "viewer/ui/page_setup_dialog.h"
#include "viewer/ui/pdf_export.h"
#include "viewer/ui/point_style_dialog.h"

namespace viewer {

MainWindow::MainWindow() {
  showMessage = [this](const QString& caption, const QString& text) { QMessageBox::warning(this, caption, text); };
  askSavePath = [this](const QString& caption, const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(this, caption, suggested, filter);
  };
  runDialog = [](QDialog& dialog) { return dialog.exec(); };
  guikit::addSystemPrinters(printers_);
  setWindowTitle("Orbiscope");
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  view_ = new DrawingView(central);
  tabs_ = new QTabBar(central);
  tabs_->setShape(QTabBar::RoundedSouth);
  tabs_->setExpanding(false);
  tabs_->addTab("Model");
  layout->addWidget(view_, 1);
  layout->addWidget(tabs_);
  setCentralWidget(central);
  auto* panel = new QLabel(this);
  panel->setFixedWidth(50);
  statusBar()->addWidget(panel);
  buildMenus();
  setAcceptDrops(true);
  connect(tabs_, &QTabBar::currentChanged, this, &MainWindow::tabChanged);
  tabs_->installEventFilter(this);
  connect(view_, &DrawingView::noPaperView, this, [this] {
    // Told after the frame, outside the paint.
    QTimer::singleShot(0, this, [this] {
      showModelTab();
      showMessage("表示できません", "このレイアウト空間は未設定です");
    });
  });
  view_->setDrawing(&drawing_);
  // The screen's full width, and its height less a strip for the task bar.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    setGeometry(area.left(), area.top(), area.width(), std::max(200, area.height() - 32));
  }
}

void MainWindow::buildMenus() {
  auto add = [this](QMenu* menu, const QString& text, std::function<void()> act, bool enabled = true) {
    QAction* a = menu->addAction(text);
    a->setEnabled(enabled);
    if (act) connect(a, &QAction::triggered, this, std::move(act));
    return a;
  };
  QMenu* file = menuBar()->addMenu("ファイル(&F)");
  add(file, "読込(&R)", [this] {
    const QString path = QFileDialog::getOpenFileName(this, "読込", QString(), "*.dxf (*.dxf);;*.* (*)");
    if (!path.isEmpty()) openFile(path);
  });
  add(file, "Bitmap作成", [this] {
    const QString path = askSavePath("Bitmap作成", QDir::current().filePath("test.bmp"), "BMP (*.bmp);;PNG (*.png)");
    if (!path.isEmpty()) writeBitmap(path);
  });
  add(file, "PDF作成", [this] {
    const QString name = drawing_.path.empty() ? QString("drawing")
                                               : QFileInfo(QString::fromStdString(drawing_.path)).completeBaseName();
    const QString path = askSavePath("PDF作成", QDir::current().filePath(name + ".pdf"), "PDF (*.pdf)");
    if (!path.isEmpty()) writePdfFile(path);
  });
  add(file, "Metafile作成", nullptr, false);
  add(file, "印刷設定", [this] { openPageSetup(); });
  add(file, "印刷", nullptr, false);
  file->addSeparator();
  add(file, "終了", [this] { close(); });

  QMenu* show = menuBar()->addMenu("表示(&V)");
  const char* directions[] = {"平面図", "底面図", "左側面図", "右側面図", "正面図",
                              "背面図", "南西図", "南東図",   "北東図",   "北西図"};
  for (int i = 0; i < 10; ++i) add(show, directions[i], [this, i] { setDirection(static_cast<ViewDirection>(i)); });
  show->addSeparator();
  add(show, "点スタイル", [this] { openPointStyle(); });
  for (const char* item : {"レイヤー", "拡大", "縮小", "全体表示"}) add(show, item, nullptr, false);

  QMenu* animation = menuBar()->addMenu("アニメーション(&A)");
  add(animation, "上空で一周", [this] { orbit(); });
  add(animation, "地上で一周（z軸）", nullptr, false);
  add(animation, "上下に一周", nullptr, false);
}

QAction* MainWindow::action(const QString& text) const {
  for (QAction* a : findChildren<QAction*>())
    if (a->text() == text) return a;
  return nullptr;
}

bool MainWindow::openFile(const QString& path) {
  if (!QFileInfo::exists(path)) {
    showMessage("警告", "ファイルが見つかりません");
    return false;
  }
  Drawing loaded;
  LoadError error;
  if (!loadDrawing(QFileInfo(path).absoluteFilePath().toStdString(), loaded, error)) {
    showMessage(QString::fromStdString(error.caption), QString::fromStdString(error.text));
    return false;
  }
  drawing_ = std::move(loaded);
  const int w = view_->width() * view_->devicePixelRatio(), h = view_->height() * view_->devicePixelRatio();
  if (drawing_.hasModelView)
    adaptModelView(drawing_, w, h);
  else
    fitModelView(drawing_, w, h);
  view_->setOrbitAngle(0);
  view_->setDrawing(&drawing_);
  rebuildTabs();
  setWindowTitle("Orbiscope - " + QFileInfo(path).absoluteFilePath());
  return true;
}

void MainWindow::rebuildTabs() {
  rebuilding_ = true;
  while (tabs_->count() > 1) tabs_->removeTab(tabs_->count() - 1);
  for (std::size_t i = 1; i < drawing_.layouts.size(); ++i)
    tabs_->addTab(QString::fromStdString(drawing_.layouts[i].name));
  tabs_->setCurrentIndex(0);
  rebuilding_ = false;
  view_->setTab(0);
}

void MainWindow::tabChanged(int index) {
  if (rebuilding_) return;
  view_->setTab(std::max(index, 0));
}

void MainWindow::showModelTab() {
  tabs_->setCurrentIndex(0);
  view_->setTab(0);
}

void MainWindow::setDirection(ViewDirection direction) {
  showModelTab();
  setViewDirection(drawing_, direction);
  view_->update();
}

void MainWindow::orbit() {
  showModelTab();
  for (int i = 0; i < kOrbitFrames; ++i) {
    view_->setOrbitAngle(i * kOrbitStep);
    view_->repaint();
  }
  endOrbit(drawing_);
  view_->setOrbitAngle(360);
  view_->update();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const auto urls = event->mimeData()->urls();
  if (urls.size() != 1) {
    showMessage("警告", "ドロップファイルは１個にしてください。");
    return;
  }
  openFile(urls.front().toLocalFile());
  event->acceptProposedAction();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tabs_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    QMenu menu(this);
    connect(menu.addAction("印刷設定"), &QAction::triggered, this, [this] { openPageSetup(); });
    menu.addAction("印刷")->setEnabled(false);
    // Under the cursor, just below the top of the tab row.
    const int x = static_cast<int>(static_cast<QMouseEvent*>(event)->position().x());
    menu.exec(QPoint(geometry().left() + x, geometry().top() + tabs_->mapTo(this, QPoint(0, 0)).y() + 16));
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::applyPointStyle(int pointMode, double pointSize) {
  drawing_.pointMode = pointMode;
  drawing_.pointSize = pointSize;
  view_->pointStyleChanged();
  view_->update();
}

void MainWindow::openPointStyle() {
  PointStyleDialog dialog(drawing_.pointMode, drawing_.pointSize, this);
  dialog.showMessage = showMessage;
  if (runDialog(dialog) == QDialog::Accepted) applyPointStyle(dialog.pointMode(), dialog.pointSize());
}

Layout* MainWindow::activeLayout() {
  const auto tab = static_cast<std::size_t>(std::max(view_->tab(), 0));
  if (tab >= drawing_.layouts.size()) return nullptr;
  return &drawing_.layouts[tab];
}

void MainWindow::openPageSetup() {
  Layout* layout = activeLayout();
  if (!layout) {
    showMessage("印刷設定", "レイアウトがありません");
    return;
  }
  PageSetupDialog dialog(printers_, *layout, this);
  dialog.showMessage = showMessage;
  runDialog(dialog);
}

bool MainWindow::writeBitmap(const QString& path) {
  const int w = width() * 2, h = height() * 2;
  std::vector<std::uint8_t> rgb;
  std::string error;
  // The offscreen context draws exactly what `orbiscope --export` draws.
  view_->doneCurrent();
  const bool rendered = renderImage(drawing_, view_->tab(), w, h, view_->tab() == 0, rgb, error);
  view_->update();
  if (!rendered || !writeImage(path.toStdString(), w, h, rgb, error)) {
    showMessage("警告", QString::fromStdString(error));
    return false;
  }
  return true;
}

bool MainWindow::writePdfFile(const QString& path) {
  std::string error;
  if (!writePdf(drawing_, view_->tab(), path.toStdString(), error)) {
    showMessage("警告", QString::fromStdString(error));
    return false;
  }
  return true;
}

}  // namespace viewer
