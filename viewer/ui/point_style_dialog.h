#pragma once
// "点スタイル": one of 20 point symbols (4 rows of 5, drawn from the views' own symbol
// programs) and its size, on the screen (a share of the view height) or in model units.
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace viewer {

// The picture of the symbols with its selection frame. Cells are 58 x 35 pixels; the frame
// sits 5 pixels in from a cell's left and 3 from its top.
class SymbolPicture : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kCellWidth = 58, kCellHeight = 35;

  explicit SymbolPicture(QWidget* parent = nullptr);
  QPoint frame() const { return frame_; }
  void setFrame(QPoint topLeft);
  // Moves the frame to the cell under (x, y), kept on the picture.
  void select(int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QPoint frame_{5, 3};
};

class PointStyleDialog : public QDialog {
  Q_OBJECT
 public:
  PointStyleDialog(int pointMode, double pointSize, QWidget* parent = nullptr);

  // The frame's position for a mode, and the mode under a frame position.
  static QPoint frameOf(int pointMode);
  static int modeOf(QPoint frame);

  // What "O K" chose; valid after the dialog was accepted.
  int pointMode() const { return pointMode_; }
  double pointSize() const { return pointSize_; }

  SymbolPicture* picture() const { return picture_; }
  QLineEdit* sizeField() const { return size_; }
  QRadioButton* screenChoice() const { return screen_; }
  QRadioButton* modelChoice() const { return model_; }
  QLabel* sizeLabel() const { return sizeLabel_; }
  // Reads the fields; a size that is not a number is refused with a message and the
  // dialog stays open.
  void confirm();

  // Message boxes go through here, so tests can record them.
  std::function<void(const QString& caption, const QString& text)> showMessage;

 private:
  void choiceChanged();

  SymbolPicture* picture_;
  QLineEdit* size_;
  QLabel* sizeLabel_;
  QRadioButton* screen_;
  QRadioButton* model_;
  int pointMode_ = 0;
  double pointSize_ = 0;
};

}  // namespace viewer
