#pragma once
// The viewer's main window: the image area, the tab row ("Model" and one tab per layout),
// the status bar and the menus; files come from the menu, the command line or a drop.
#include <QMainWindow>
#include <functional>
#include <string>

#include "viewer/draw/view.h"
#include "viewer/dxf/drawing.h"

class QTabBar;
class QAction;

namespace viewer {

class DrawingView;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow();

  // Loads a file as the menu does; false (and the message shown) when it could not be read.
  bool openFile(const QString& path);
  // Runs the orbit: 321 frames about the vertical, drawn one after the other.
  void orbit();
  // The view menu's directions, by item.
  void setDirection(ViewDirection direction);

  // Message boxes go through here, so tests can record them.
  std::function<void(const QString& caption, const QString& text)> showMessage;

  Drawing& drawing() { return drawing_; }
  DrawingView* view() const { return view_; }
  QTabBar* tabs() const { return tabs_; }
  QAction* action(const QString& text) const;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMenus();
  void rebuildTabs();
  void tabChanged(int index);
  void showModelTab();

  Drawing drawing_;
  DrawingView* view_ = nullptr;
  QTabBar* tabs_ = nullptr;
  bool rebuilding_ = false;
};

}  // namespace viewer
