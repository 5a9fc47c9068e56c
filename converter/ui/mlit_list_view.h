#pragma once
// The national land data sets as check boxes in columns of 25, each painted in its colour;
// a click switches a data set, a right click restyles it.
#include <QWidget>
#include <vector>

#include "converter/settings/layer_tree.h"
#include "converter/ui/layer_tree_view.h"

class QCheckBox;

namespace ui {

class MlitListView : public QWidget {
 public:
  MlitListView(std::vector<settings::MlitLayerEntry>& items, LayerTreeView::StyleRequest askStyle,
               QWidget* parent = nullptr);
  // Rebuilds the boxes from the list.
  void showList();
  // A row of controls above the boxes, across the columns.
  void setHeader(QWidget* header);
  QCheckBox* box(std::size_t index) const { return index < boxes_.size() ? boxes_[index] : nullptr; }
  void restyle(std::size_t index);

  static constexpr int kPerColumn = 25;
  // Top-left corner of item i.
  static QPoint placeOf(std::size_t index);

 private:
  std::vector<settings::MlitLayerEntry>& items_;
  LayerTreeView::StyleRequest askStyle_;
  std::vector<QCheckBox*> boxes_;
  QWidget* header_ = nullptr;
};

}  // namespace ui
