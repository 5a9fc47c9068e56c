#pragma once
// Small builders and show helpers of the main window's controls, shared by the files that
// build the tabs and show the settings record.
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

inline QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
inline std::string s8(const QString& text) { return text.toStdString(); }
// A colour as the settings hold it (0x00BBGGRR).
inline QColor bgrColour(std::uint32_t bgr) {
  return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

template <typename Items>
QComboBox* choiceBox(const Items& items, const char* name) {
  auto* box = new QComboBox;
  box->setObjectName(name);
  for (const auto& item : items) box->addItem(q(item));
  return box;
}

// An index outside the list leaves the box without a selection (the start checks report it).
void showChoice(QComboBox* box, int index);
// An editable box whose text may be a name the list lacks.
void showText(QComboBox* box, const std::string& text);
QLineEdit* numberEdit(const char* name);
QLabel* caption(const QString& text);
// Label and control on one row of a form grid.
void addRow(QGridLayout* grid, int row, const QString& text, QWidget* control, int span = 1);
QGridLayout* formGrid(QWidget* on);
// The three marks under a bias slider.
QWidget* sliderMarks(const QString& low, const QString& mid, const QString& high);
QSlider* biasSlider(const char* name, int high);

}  // namespace ui
