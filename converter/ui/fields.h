#pragma once
// Controls of the main window that behave as the converter's fields do: typed numbers
// that keep their text, counts whose text may be anything until the start checks, the
// angle that a right click steps by ten degrees, and check boxes painted in their colour.
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <cstdint>

namespace ui {

// Discards every typed character but the digits, "-" and "." (editing keys pass).
class NumberTypingFilter : public QObject {
 public:
  using QObject::QObject;
  // Installs one filter on the edit, owned by it.
  static void install(QLineEdit* edit);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// A whole-number field held as text: the arrows step within `low`..`high`, typing may go
// beyond them (the start checks judge), an empty text stays empty.
class CountSpinBox : public QAbstractSpinBox {
 public:
  CountSpinBox(int low, int high, QWidget* parent = nullptr);
  QString text() const { return lineEdit()->text(); }
  void setText(const QString& text) { lineEdit()->setText(text); }
  QLineEdit* editor() const { return lineEdit(); }
  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
  QValidator::State validate(QString& input, int& pos) const override;

 private:
  int low_, high_;
};

// Tenths of a degree: a left click on the arrows steps by 1, a right click on the upper
// half adds 100 and on the lower half subtracts 100.
class AngleSpinBox : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};

// Fills the area right of the box with the colour (0x00BBGGRR) and writes the caption in
// the inverse colour, white on the middle grey.
void paintInColour(QCheckBox* box, std::uint32_t colour);
// The caption colour on a background of `colour`.
std::uint32_t captionColour(std::uint32_t colour);

}  // namespace ui
