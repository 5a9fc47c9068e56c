#pragma once
// A layer tree of the settings record shown with check images and captions in the entries'
// colours: a click on a check image or the space key flips a node, a right click restyles
// it, and Shift or Ctrl held turns the background grey so light colours stay readable.
#include <QTreeWidget>
#include <functional>
#include <optional>

#include "converter/settings/layer_tree.h"
#include "converter/ui/style_dialog.h"

namespace ui {

class LayerTreeView : public QTreeWidget {
 public:
  // Asks the style dialog with the entry's style and the node's caption; empty on Cancel.
  using StyleRequest = std::function<std::optional<EntryStyle>(const EntryStyle&, const QString& caption)>;

  LayerTreeView(settings::LayerTree& tree, StyleRequest askStyle, QWidget* parent = nullptr);

  // Rebuilds the nodes from the tree (after a load or the start-up).
  void showTree();
  // "ツリー展開": the groups that are on; "ツリー全展開"; "ツリー格納". Each scrolls to the top.
  void expandActive();
  void expandEvery();
  void collapseEvery();

  // The node actions, also for tests: (group, -1) is the group itself.
  void flip(int group, int item);
  void restyle(int group, int item);
  // The area of a node's check image, in viewport coordinates.
  QRect checkImageRect(QTreeWidgetItem* node) const;
  bool greyBackground() const { return grey_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  std::pair<int, int> position(QTreeWidgetItem* node) const;
  void refreshNodes();
  void setGrey(bool grey);

  settings::LayerTree& tree_;
  StyleRequest askStyle_;
  bool grey_ = false;
};

}  // namespace ui
