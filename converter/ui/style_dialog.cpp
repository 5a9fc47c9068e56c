#include "converter/ui/style_dialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "converter/geo/palette.h"
#include "converter/settings/choice_lists.h"
#include "converter/ui/form_widgets.h"
#include "platform/numbers.h"

namespace ui {

namespace {

constexpr QRgb kBackground = 0xF0F0F0;

std::uint32_t entryBgr(int entry) {
  if (entry == 0) return 0x000001;
  const std::uint32_t rgb = geo::paletteRgb()[static_cast<std::size_t>(entry)];
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

QDialogButtonBox* okCancel(QDialog* dialog, QPushButton** ok = nullptr) {
  auto* box = new QDialogButtonBox;
  auto* okButton = box->addButton(QStringLiteral("O K"), QDialogButtonBox::AcceptRole);
  okButton->setDefault(true);
  box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  if (ok) *ok = okButton;
  return box;
}

}  // namespace

QString colourLabelText(std::uint32_t colour) {
  if (colour == entryBgr(0)) return QStringLiteral("No.0");
  if (const int entry = geo::paletteIndexOf(colour)) return QStringLiteral("No.%1").arg(entry);
  return QStringLiteral("TrueColor:") + QStringLiteral("%1").arg(colour & 0xFFFFFF, 6, 16, QChar('0')).toUpper();
}

// ---------------------------------------------------------------------------------------

StyleDialog::StyleDialog(const EntryStyle& start, int fileFormat, const QString& caption, QWidget* parent)
    : QDialog(parent), colour_(start.colour) {
  setObjectName("StyleDialog");
  setWindowTitle(caption.isEmpty() ? QStringLiteral("線の色、太さ設定") : caption);
  QPalette surface = palette();
  surface.setColor(QPalette::Window, QColor::fromRgb(kBackground));
  setPalette(surface);
  setAutoFillBackground(true);

  for (int i = 1; i <= 9; ++i) swatches_.push_back({QRect(21 * i - 5, 150, 20, 20), i});
  const bool full = fileFormat != 2;
  if (full) {
    for (int i = 0; i < 5; ++i)
      for (int j = 1; j <= 24; ++j) {
        swatches_.push_back({QRect(16 * j, 10 + 11 * i, 15, 10), 10 * j + 8 - 2 * i});
        swatches_.push_back({QRect(16 * j, 70 + 11 * i, 15, 10), 10 * j + 1 + 2 * i});
      }
    for (int i = 0; i <= 5; ++i) swatches_.push_back({QRect(16 + 21 * i, 180, 20, 20), 250 + i});
  }

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(16, 210, 16, 12);
  auto* colourRow = new QHBoxLayout;
  colourRow->addSpacing(64);  // the preview is painted here
  label_ = new QLabel;
  label_->setObjectName("colourLabel");
  colourRow->addWidget(label_, 1);
  auto* trueColour = new QPushButton(QStringLiteral("TrueColor"));
  trueColour->setObjectName("trueColourButton");
  trueColour->setVisible(fileFormat == 0 || fileFormat == 3);
  connect(trueColour, &QPushButton::clicked, this, [this] { chooseTrueColour(); });
  colourRow->addWidget(trueColour);
  column->addLayout(colourRow);
  preview_ = QRect(16, 212, 56, 24);

  auto* grid = new QGridLayout;
  weight_ = choiceBox(settings::kWeightItems, "weightList");
  showChoice(weight_, start.weightIndex);
  size_ = choiceBox(settings::kSizeItems, "sizeList");
  size_->setMaxVisibleItems(29);
  showChoice(size_, start.sizeIndex);
  addRow(grid, 0, QStringLiteral("線の太さ"), weight_);
  addRow(grid, 1, QStringLiteral("文字・地図記号の大きさ"), size_);
  column->addLayout(grid);
  column->addWidget(okCancel(this, &ok_));
  refresh();
}

EntryStyle StyleDialog::chosen() const { return {colour_, weight_->currentIndex(), size_->currentIndex()}; }

QString StyleDialog::colourLabel() const { return label_->text(); }

void StyleDialog::refresh() {
  label_->setText(colourLabelText(colour_));
  update();
}

void StyleDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  for (const Swatch& s : swatches_) painter.fillRect(s.rect, bgrColour(entryBgr(s.entry)));
  painter.fillRect(preview_, bgrColour(colour_));
  painter.setPen(Qt::black);
  painter.drawRect(preview_.adjusted(0, 0, -1, -1));
}

void StyleDialog::pickAt(QPoint point) {
  lastPressOnBackground_ = true;
  for (const Swatch& s : swatches_) {
    if (!s.rect.contains(point)) continue;
    colour_ = entryBgr(s.entry);
    lastPressOnBackground_ = false;
    refresh();
    return;
  }
  if (preview_.contains(point)) lastPressOnBackground_ = false;
}

void StyleDialog::mousePressEvent(QMouseEvent* event) {
  pickAt(event->position().toPoint());
  QDialog::mousePressEvent(event);
}

void StyleDialog::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press too.
  pickAt(event->position().toPoint());
  if (!lastPressOnBackground_) accept();
}

void StyleDialog::showEvent(QShowEvent* event) {
  // Sized once polished: the swatches need the full width, the controls their height.
  setFixedSize(420, std::max(sizeHint().height(), minimumSizeHint().height()));
  QDialog::showEvent(event);
  ok_->setFocus();
  refresh();
}

void StyleDialog::chooseTrueColour() {
  const QColor picked = QColorDialog::getColor(bgrColour(colour_), this, QStringLiteral("TrueColor"));
  if (!picked.isValid()) return;
  colour_ = std::uint32_t(picked.red()) | (std::uint32_t(picked.green()) << 8) | (std::uint32_t(picked.blue()) << 16);
  refresh();
}

// ---------------------------------------------------------------------------------------

MarginDialog::MarginDialog(int left, int top, int right, int bottom, QWidget* parent) : QDialog(parent) {
  setObjectName("MarginDialog");
  setWindowTitle(QStringLiteral("印刷余白の調整 (mm)"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  const int values[4] = {left, top, right, bottom};
  for (int side = 0; side < 4; ++side) {
    spins_[side] = new QSpinBox;
    spins_[side]->setRange(-1000, 1000);
    spins_[side]->setValue(values[side]);
    spins_[side]->setMinimumWidth(90);
  }
  spins_[0]->setObjectName("marginLeft");
  spins_[1]->setObjectName("marginTop");
  spins_[2]->setObjectName("marginRight");
  spins_[3]->setObjectName("marginBottom");
  auto* column = new QVBoxLayout(this);
  auto* cross = new QGridLayout;
  const QString captions[4] = {QStringLiteral("左"), QStringLiteral("上"), QStringLiteral("右"), QStringLiteral("下")};
  const QPoint cells[4] = {{1, 0}, {0, 1}, {1, 2}, {2, 1}};  // row, column around the centre
  for (int side = 0; side < 4; ++side) {
    auto* cell = new QHBoxLayout;
    cell->addWidget(caption(captions[side]));
    cell->addWidget(spins_[side]);
    cross->addLayout(cell, cells[side].x(), cells[side].y());
  }
  auto* paper = caption(QStringLiteral("用紙"));
  paper->setAlignment(Qt::AlignCenter);
  paper->setFrameShape(QFrame::Box);
  cross->addWidget(paper, 1, 1);
  column->addLayout(cross);
  column->addWidget(okCancel(this));
  setTabOrder(spins_[0], spins_[1]);
  setTabOrder(spins_[1], spins_[2]);
  setTabOrder(spins_[2], spins_[3]);
}

int MarginDialog::left() const { return spins_[0]->value(); }
int MarginDialog::top() const { return spins_[1]->value(); }
int MarginDialog::right() const { return spins_[2]->value(); }
int MarginDialog::bottom() const { return spins_[3]->value(); }

void MarginDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QWidget* owner = parentWidget()) move(owner->geometry().center() - rect().center());
  spins_[0]->setFocus();
}

// ---------------------------------------------------------------------------------------

MemoryDialog::MemoryDialog(int factor, int contourShare, std::uint64_t freeKilobytes, QWidget* parent)
    : QDialog(parent) {
  setObjectName("MemoryDialog");
  setWindowTitle(QStringLiteral("占有メモリー"));
  free_ = new QLabel(QStringLiteral("空きメモリー　%1 KB").arg(QString::fromStdString(
      platform::formatGrouped(static_cast<double>(freeKilobytes)))));
  free_->setObjectName("freeMemory");
  factor_ = new QSpinBox;
  factor_->setObjectName("memoryFactor");
  // The limit of 49 is raised by what the free memory allows.
  const auto limit = std::min<std::uint64_t>(std::uint64_t(std::max(factor, 1)) + freeKilobytes / 80000, 1 << 20);
  factor_->setRange(1, static_cast<int>(limit));
  factor_->setValue(factor);
  share_ = new QSlider(Qt::Horizontal);
  share_->setObjectName("contourShare");
  share_->setRange(2, 8);
  share_->setTickPosition(QSlider::TicksBelow);
  share_->setValue(contourShare);

  auto* column = new QVBoxLayout(this);
  column->addWidget(free_);
  auto* factorRow = new QHBoxLayout;
  factorRow->addWidget(caption(QStringLiteral("メモリー拡大率")));
  factorRow->addWidget(factor_);
  factorRow->addStretch();
  column->addLayout(factorRow);
  auto* shareRow = new QHBoxLayout;
  shareRow->addWidget(caption(QStringLiteral("等高線に配分")));
  shareRow->addWidget(share_, 1);
  shareRow->addWidget(caption(QStringLiteral("標高メッシュに配分")));
  column->addLayout(shareRow);
  column->addWidget(okCancel(this));
  resize(460, sizeHint().height());
  // Centred on the desktop.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

int MemoryDialog::factor() const { return factor_->value(); }
int MemoryDialog::contourShare() const { return share_->value(); }
int MemoryDialog::factorLimit() const { return factor_->maximum(); }
QString MemoryDialog::freeMemoryText() const { return free_->text(); }

}  // namespace ui
