#include "viewer/ui/page_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/numbers.h"

namespace viewer {

namespace {

// Fifteen significant digits without trailing zeros: 4761 pixels at 600 dpi show as
// 201.549, not as the binary fraction's 201.54899999999998.
QString shortest(double v) { return QString::number(v, 'g', 15); }

}  // namespace

PageSetupDialog::PageSetupDialog(const platform::PrinterCatalogue& printers, Layout& layout, QWidget* parent)
    : QDialog(parent), printers_(printers), layout_(layout) {
  showMessage = [this](const QString& caption, const QString& text) { QMessageBox::warning(this, caption, text); };
  printer_ = new QComboBox(this);
  printer_->setEditable(true);
  printer_->setObjectName("printerField");
  paper_ = new QComboBox(this);
  paper_->setEditable(true);
  paper_->setObjectName("paperField");
  numerator_ = new QLineEdit(this);
  denominator_ = new QLineEdit(this);
  portrait_ = new QRadioButton("縦長", this);
  landscape_ = new QRadioButton("横長", this);

  auto* form = new QFormLayout;
  form->addRow("プリンタ", printer_);
  form->addRow("用紙サイズ", paper_);
  auto* scale = new QHBoxLayout;
  scale->addWidget(numerator_);
  scale->addWidget(new QLabel("/", this));
  scale->addWidget(denominator_);
  form->addRow("縮尺", scale);
  auto* orientation = new QGroupBox("用紙の方向", this);
  auto* choices = new QHBoxLayout(orientation);
  choices->addWidget(portrait_);
  choices->addWidget(landscape_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("O K", QDialogButtonBox::AcceptRole);
  buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(orientation);
  column->addWidget(buttons);
  setMinimumWidth(380);

  for (const auto& name : printers_.printerNames()) printer_->addItem(QString::fromStdString(name));
  printer_->setCurrentText(QString::fromStdString(layout_.pageName));
  paper_->setCurrentText(QString::fromStdString(layout_.paperName));
  (layout_.paperWidth > layout_.paperHeight ? portrait_ : landscape_)->setChecked(true);
  refresh();

  connect(printer_, &QComboBox::currentTextChanged, this, &PageSetupDialog::refresh);
  connect(paper_, &QComboBox::currentTextChanged, this, &PageSetupDialog::refresh);
  connect(portrait_, &QRadioButton::toggled, this, &PageSetupDialog::refresh);
  connect(buttons, &QDialogButtonBox::accepted, this, &PageSetupDialog::confirm);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PageSetupDialog::refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  numerator_->setText(shortest(layout_.scaleNumerator));
  denominator_->setText(shortest(layout_.scaleDenominator));
  const std::string printer = printer_->currentText().toStdString();
  const std::string paper = paper_->currentText().toStdString();
  if (!printers_.hasPrinter(printer)) {
    printer_->setCurrentText("Printer未定");
    setWindowTitle("印刷設定");
    refreshing_ = false;
    return;
  }
  paper_->clear();
  for (const auto& p : printers_.papers(printer).value_or(std::vector<platform::Paper>{}))
    paper_->addItem(QString::fromStdString(p.name.substr(0, 64)));
  paper_->setCurrentText(QString::fromStdString(paper));
  if (const auto g = printers_.geometry(printer, paper)) {
    double w = g->printableWidth * 25.4 / g->dpiX, h = g->printableHeight * 25.4 / g->dpiY;
    if (landscape_->isChecked() != g->landscape) std::swap(w, h);
    setWindowTitle(shortest(w) + " " + shortest(h));
  } else {
    setWindowTitle("印刷設定");
  }
  refreshing_ = false;
}

void PageSetupDialog::confirm() {
  double numerator = 0, denominator = 0;
  if (!platform::parseDecimal(numerator_->text().toStdString(), numerator)) {
    showMessage("設定値を確認してください", "縮尺の分子が数値ではありません: \"" + numerator_->text() + "\"");
    return;
  }
  if (!platform::parseDecimal(denominator_->text().toStdString(), denominator)) {
    showMessage("設定値を確認してください", "縮尺の分母が数値ではありません: \"" + denominator_->text() + "\"");
    return;
  }
  layout_.pageName = printer_->currentText().toStdString();
  layout_.paperName = paper_->currentText().toStdString();
  layout_.scaleNumerator = numerator;
  layout_.scaleDenominator = denominator;
  accept();
}

}  // namespace viewer
