#pragma once
// "印刷設定" of the active tab's layout: printer, paper, scale and orientation. The
// caption shows the printable size of the chosen printer and paper in millimetres.
#include <QDialog>
#include <functional>

#include "platform/printer_catalogue.h"
#include "viewer/dxf/drawing.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace viewer {

class PageSetupDialog : public QDialog {
  Q_OBJECT
 public:
  // Works on `layout`, which must outlive the dialog; `printers` lists what can be chosen.
  PageSetupDialog(const platform::PrinterCatalogue& printers, Layout& layout, QWidget* parent = nullptr);

  QComboBox* printerField() const { return printer_; }
  QComboBox* paperField() const { return paper_; }
  QLineEdit* numeratorField() const { return numerator_; }
  QLineEdit* denominatorField() const { return denominator_; }
  QRadioButton* portraitChoice() const { return portrait_; }
  QRadioButton* landscapeChoice() const { return landscape_; }

  // After a change of printer, paper or orientation: the paper list of the typed printer
  // and the printable size in the caption.
  void refresh();
  // "O K": writes the fields into the layout, or, when a scale field is not a number,
  // tells so and leaves the layout as it was.
  void confirm();

  // Message boxes go through here, so tests can record them.
  std::function<void(const QString& caption, const QString& text)> showMessage;

 private:
  const platform::PrinterCatalogue& printers_;
  Layout& layout_;
  QComboBox* printer_;
  QComboBox* paper_;
  QLineEdit* numerator_;
  QLineEdit* denominator_;
  QRadioButton* portrait_;
  QRadioButton* landscape_;
  bool refreshing_ = false;
};

}  // namespace viewer
