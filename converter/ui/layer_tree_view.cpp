#include "converter/ui/layer_tree_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <array>

#include "converter/ui/form_widgets.h"

namespace ui {

namespace {

// The two check images: 0 off, 1 on.
const QIcon& checkImage(bool on) {
  static const std::array<QIcon, 2> images = [] {
    std::array<QIcon, 2> made;
    for (int state = 0; state < 2; ++state) {
      QPixmap pixmap(16, 16);
      pixmap.fill(Qt::transparent);
      QPainter p(&pixmap);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(1.5, 1.5, 12, 12));
      if (state == 1) {
        p.setPen(QPen(QColor(0x10, 0x60, 0x10), 2.2));
        p.drawPolyline(QPolygonF({QPointF(4, 7.5), QPointF(6.8, 10.5), QPointF(11.5, 4)}));
      }
      p.end();
      // The selected node shows the same image as the plain one.
      made[state].addPixmap(pixmap, QIcon::Normal);
      made[state].addPixmap(pixmap, QIcon::Selected);
    }
    return made;
  }();
  return images[on ? 1 : 0];
}

EntryStyle styleOf(const settings::LayerEntry& e) { return {e.colour, e.weightIndex, e.sizeIndex}; }

}  // namespace

LayerTreeView::LayerTreeView(settings::LayerTree& tree, StyleRequest askStyle, QWidget* parent)
    : QTreeWidget(parent), tree_(tree), askStyle_(std::move(askStyle)) {
  setHeaderHidden(true);
  setColumnCount(1);
  setIndentation(19);
  setIconSize(QSize(16, 16));
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setExpandsOnDoubleClick(true);
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void LayerTreeView::showTree() {
  clear();
  for (const auto& group : tree_.groups) {
    auto* node = new QTreeWidgetItem(this);
    for (std::size_t i = 0; i < group.items.size(); ++i) new QTreeWidgetItem(node);
    node->setExpanded(group.expanded);
  }
  refreshNodes();
}

void LayerTreeView::refreshNodes() {
  for (int g = 0; g < topLevelItemCount() && std::size_t(g) < tree_.groups.size(); ++g) {
    const auto& group = tree_.groups[std::size_t(g)];
    QTreeWidgetItem* node = topLevelItem(g);
    node->setText(0, q(group.caption));
    node->setIcon(0, checkImage(group.on));
    node->setForeground(0, bgrColour(group.entry.colour));
    for (int i = 0; i < node->childCount() && std::size_t(i) < group.items.size(); ++i) {
      const auto& item = group.items[std::size_t(i)];
      QTreeWidgetItem* child = node->child(i);
      child->setText(0, q(item.caption));
      child->setIcon(0, checkImage(item.on));
      child->setForeground(0, bgrColour(item.entry.colour));
    }
  }
}

void LayerTreeView::expandActive() {
  settings::expandActiveGroups(tree_);
  for (int g = 0; g < topLevelItemCount(); ++g) topLevelItem(g)->setExpanded(tree_.groups[std::size_t(g)].expanded);
  scrollToTop();
}

void LayerTreeView::expandEvery() {
  for (auto& group : tree_.groups) group.expanded = true;
  expandAll();
  scrollToTop();
}

void LayerTreeView::collapseEvery() {
  for (auto& group : tree_.groups) group.expanded = false;
  collapseAll();
  scrollToTop();
}

std::pair<int, int> LayerTreeView::position(QTreeWidgetItem* node) const {
  if (!node) return {-1, -1};
  if (QTreeWidgetItem* parent = node->parent()) return {indexOfTopLevelItem(parent), parent->indexOfChild(node)};
  return {indexOfTopLevelItem(node), -1};
}

void LayerTreeView::flip(int group, int item) {
  if (group < 0 || std::size_t(group) >= tree_.groups.size()) return;
  if (item < 0)
    settings::toggleGroup(tree_, std::size_t(group));
  else
    settings::toggleItem(tree_, std::size_t(group), std::size_t(item));
  refreshNodes();
}

void LayerTreeView::restyle(int group, int item) {
  if (group < 0 || std::size_t(group) >= tree_.groups.size() || !askStyle_) return;
  auto& g = tree_.groups[std::size_t(group)];
  if (item >= 0 && std::size_t(item) >= g.items.size()) return;
  const auto& entry = item < 0 ? g.entry : g.items[std::size_t(item)].entry;
  const auto& captionText = item < 0 ? g.caption : g.items[std::size_t(item)].caption;
  const auto chosen = askStyle_(styleOf(entry), q(captionText));
  if (!chosen) return;
  if (item < 0)
    settings::restyleGroup(tree_, std::size_t(group), chosen->colour, chosen->weightIndex, chosen->sizeIndex);
  else
    settings::restyleItem(tree_, std::size_t(group), std::size_t(item), chosen->colour, chosen->weightIndex,
                          chosen->sizeIndex);
  refreshNodes();
}

QRect LayerTreeView::checkImageRect(QTreeWidgetItem* node) const {
  const QRect row = visualItemRect(node);
  // The decoration follows the item's left edge after the style's item margin.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  return QRect(row.left(), row.top(), iconSize().width() + 2 * margin, row.height());
}

void LayerTreeView::mousePressEvent(QMouseEvent* event) {
  QTreeWidgetItem* node = itemAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && node && checkImageRect(node).contains(event->position().toPoint())) {
    const auto [g, i] = position(node);
    setCurrentItem(node);
    flip(g, i);
    event->accept();
    return;
  }
  QTreeWidget::mousePressEvent(event);
}

void LayerTreeView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Shift || event->key() == Qt::Key_Control) setGrey(true);
  if (event->key() == Qt::Key_Space && currentItem()) {
    const auto [g, i] = position(currentItem());
    flip(g, i);
    settings::deriveGroups(tree_);
    refreshNodes();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void LayerTreeView::keyReleaseEvent(QKeyEvent* event) {
  setGrey(false);
  QTreeWidget::keyReleaseEvent(event);
}

void LayerTreeView::setGrey(bool grey) {
  if (grey == grey_) return;
  grey_ = grey;
  QPalette p = palette();
  p.setColor(QPalette::Base, grey ? QColor(0x80, 0x80, 0x80) : QPalette().color(QPalette::Base));
  setPalette(p);
}

void LayerTreeView::contextMenuEvent(QContextMenuEvent* event) {
  QTreeWidgetItem* node = itemAt(event->pos());
  if (!node) return;
  setCurrentItem(node);
  const auto [g, i] = position(node);
  restyle(g, i);
  event->accept();
}

}  // namespace ui
