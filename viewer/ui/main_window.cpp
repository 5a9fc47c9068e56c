#include "viewer/ui/main_window.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "viewer/ui/drawing_view.h"

namespace viewer {

MainWindow::MainWindow() {
  showMessage = [this](const QString& caption, const QString& text) { QMessageBox::warning(this, caption, text); };
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
  add(file, "Bitmap作成", nullptr, false);
  add(file, "Metafile作成", nullptr, false);
  add(file, "印刷設定", nullptr, false);
  add(file, "印刷", nullptr, false);
  file->addSeparator();
  add(file, "終了", [this] { close(); });

  QMenu* show = menuBar()->addMenu("表示(&V)");
  const char* directions[] = {"平面図", "底面図", "左側面図", "右側面図", "正面図",
                              "背面図", "南西図", "南東図",   "北東図",   "北西図"};
  for (int i = 0; i < 10; ++i) add(show, directions[i], [this, i] { setDirection(static_cast<ViewDirection>(i)); });
  show->addSeparator();
  add(show, "点スタイル", nullptr, false);
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

}  // namespace viewer
