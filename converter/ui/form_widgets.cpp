#include "converter/ui/form_widgets.h"

#include <QHBoxLayout>

#include "converter/ui/fields.h"

namespace ui {

// An index outside the list leaves the box without a selection (the start checks report it).
void showChoice(QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1); }

// An editable box whose text may be a name the list lacks.
void showText(QComboBox* box, const std::string& text) {
  const int i = box->findText(q(text));
  if (i >= 0) box->setCurrentIndex(i);
  box->setEditText(q(text));
}

QLineEdit* numberEdit(const char* name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  NumberTypingFilter::install(edit);
  return edit;
}

QLabel* caption(const QString& text) {
  auto* label = new QLabel(text);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// Label and control on one row of a form grid.
void addRow(QGridLayout* grid, int row, const QString& text, QWidget* control, int span) {
  grid->addWidget(caption(text), row, 0);
  grid->addWidget(control, row, 1, 1, span);
}

QGridLayout* formGrid(QWidget* on) {
  auto* grid = new QGridLayout(on);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(5);
  return grid;
}

// The three marks under a bias slider.
QWidget* sliderMarks(const QString& low, const QString& mid, const QString& high) {
  auto* marks = new QWidget;
  auto* row = new QHBoxLayout(marks);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(caption(low));
  row->addStretch();
  row->addWidget(caption(mid));
  row->addStretch();
  row->addWidget(caption(high));
  return marks;
}

QSlider* biasSlider(const char* name, int high) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setObjectName(name);
  slider->setRange(0, high);
  slider->setPageStep(1);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  return slider;
}

}  // namespace ui
