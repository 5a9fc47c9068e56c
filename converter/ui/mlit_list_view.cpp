#include "converter/ui/mlit_list_view.h"

#include <QCheckBox>

#include "converter/settings/choice_lists.h"
#include "converter/ui/fields.h"
#include "converter/ui/form_widgets.h"

namespace ui {

QPoint MlitListView::placeOf(std::size_t index) {
  return {int(index / kPerColumn) * 244 + 4, int(index % kPerColumn) * 23 + 67};
}

MlitListView::MlitListView(std::vector<settings::MlitLayerEntry>& items, LayerTreeView::StyleRequest askStyle,
                           QWidget* parent)
    : QWidget(parent), items_(items), askStyle_(std::move(askStyle)) {
  setObjectName("mlitList");
}

void MlitListView::setHeader(QWidget* header) {
  header_ = header;
  header->setParent(this);
  header->setGeometry(4, 12, 5 * 244 - 8, header->sizeHint().height());
}

void MlitListView::showList() {
  for (QCheckBox* b : boxes_) delete b;
  boxes_.clear();
  QRect used = header_ ? header_->geometry() : QRect();
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const auto& item = items_[i];
    auto* box = new QCheckBox(q(item.caption), this);
    box->setObjectName(QStringLiteral("mlit%1").arg(i));
    box->setGeometry(QRect(placeOf(i), QSize(236, 20)));
    box->setChecked(item.on);
    paintInColour(box, item.colour);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QCheckBox::toggled, this, [this, i](bool on) { items_[i].on = on; });
    connect(box, &QCheckBox::customContextMenuRequested, this, [this, i] { restyle(i); });
    box->show();
    boxes_.push_back(box);
    used |= box->geometry();
  }
  setMinimumSize(used.right() + 8, used.bottom() + 8);
  resize(minimumSize());
}

void MlitListView::restyle(std::size_t index) {
  if (index >= items_.size() || !askStyle_) return;
  auto& item = items_[index];
  const EntryStyle current{item.colour, item.styleCode % 256, item.styleCode / 256};
  const auto chosen = askStyle_(current, q(item.caption));
  if (!chosen) return;
  item.colour = chosen->colour;
  item.styleCode = settings::styleCode(chosen->sizeIndex, chosen->weightIndex);
  paintInColour(boxes_[index], item.colour);
}

}  // namespace ui
