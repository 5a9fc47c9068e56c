#pragma once
// The modal dialogs that edit a few values of the drawing settings: the style of a layer
// entry (colour from the DXF colour table or any true colour, weight, size), the four print
// margins, and the size of the run's point buffer.
#include <QDialog>
#include <QRect>
#include <cstdint>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace ui {

struct EntryStyle {
  std::uint32_t colour = 0;  // 0x00BBGGRR
  int weightIndex = 2;       // 0..24
  int sizeIndex = 12;        // 0..28
};

// "No." + the lowest colour table entry equal to the colour (entry 0 is 0x000001), or
// "TrueColor:" + six upper-case hexadecimal digits of the value.
QString colourLabelText(std::uint32_t colour);

class StyleDialog : public QDialog {
 public:
  // Format 2 (256 colours of the old release) offers the nine basic colours only and no
  // true colour.
  StyleDialog(const EntryStyle& start, int fileFormat, const QString& caption, QWidget* parent = nullptr);
  EntryStyle chosen() const;
  QString colourLabel() const;
  // A press on the surface: the colour under the point unless it is the background.
  void pickAt(QPoint point);
  struct Swatch {
    QRect rect;
    int entry;
  };
  const std::vector<Swatch>& swatches() const { return swatches_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void chooseTrueColour();
  void refresh();

  std::uint32_t colour_;
  std::vector<Swatch> swatches_;
  QRect preview_;
  bool lastPressOnBackground_ = true;
  QLabel* label_;
  QComboBox *weight_, *size_;
  QPushButton* ok_;
};

// "印刷余白の調整 (mm)": left, top, right and bottom margins, −1000..1000.
class MarginDialog : public QDialog {
 public:
  MarginDialog(int left, int top, int right, int bottom, QWidget* parent = nullptr);
  int left() const;
  int top() const;
  int right() const;
  int bottom() const;
  QSpinBox* spin(int side) const { return spins_[side]; }  // 0 left, 1 top, 2 right, 3 bottom

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QSpinBox* spins_[4];
};

// "占有メモリー": the buffer factor (its upper limit grows with the free memory) and the
// share of the buffer given to contours.
class MemoryDialog : public QDialog {
 public:
  MemoryDialog(int factor, int contourShare, std::uint64_t freeKilobytes, QWidget* parent = nullptr);
  int factor() const;
  int contourShare() const;
  int factorLimit() const;
  QString freeMemoryText() const;

 private:
  QSpinBox* factor_;
  QSlider* share_;
  QLabel* free_;
};

}  // namespace ui
