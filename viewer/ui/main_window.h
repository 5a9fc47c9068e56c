#pragma once
// The viewer's main window: the image area, the tab row ("Model" and one tab per layout),
// the status bar and the menus; files come from the menu, the command line or a drop.
#include <QMainWindow>
#include <functional>
#include <string>

#include "platform/printer_catalogue.h"
#include "viewer/draw/view.h"
#include "viewer/dxf/drawing.h"

class QTabBar;
class QAction;
class QDialog;

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

  // "点スタイル" confirmed: the new style, and the symbol list rebuilt.
  void applyPointStyle(int pointMode, double pointSize);
  // "Bitmap作成" into `path` (.bmp or .png): the active tab at twice the window's size,
  // rendered as the command line's export renders. False when it failed (and told).
  bool writeBitmap(const QString& path);
  // The active tab as a vector PDF. False when it failed (and told).
  bool writePdfFile(const QString& path);
  // The layout the page setup works on: the active tab's.
  Layout* activeLayout();
  const platform::PrinterCatalogue& printers() const { return printers_; }

  // Message boxes go through here, so tests can record them.
  std::function<void(const QString& caption, const QString& text)> showMessage;
  // The file name an export is written to (a save dialog); empty to cancel.
  std::function<QString(const QString& caption, const QString& suggested, const QString& filter)> askSavePath;
  // Modal dialogs are run through here, so tests can drive them.
  std::function<int(QDialog& dialog)> runDialog;

  Drawing& drawing() { return drawing_; }
  DrawingView* view() const { return view_; }
  QTabBar* tabs() const { return tabs_; }
  QAction* action(const QString& text) const;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  void rebuildTabs();
  void tabChanged(int index);
  void showModelTab();
  void openPointStyle();
  void openPageSetup();

  Drawing drawing_;
  DrawingView* view_ = nullptr;
  QTabBar* tabs_ = nullptr;
  bool rebuilding_ = false;
  platform::PrinterCatalogue printers_;
};

}  // namespace viewer
