#include "viewer/ui/point_style_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "platform/numbers.h"
#include "viewer/draw/view.h"

namespace viewer {

namespace {

constexpr int kColumns = 5, kRows = 4;
constexpr int kMaxLeft = (kColumns - 1) * SymbolPicture::kCellWidth + 5;  // 237
constexpr int kMaxTop = (kRows - 1) * SymbolPicture::kCellHeight + 3;     // 108
// Pixels per symbol unit in the picture: the plus of mode 2 spans 24 pixels.
constexpr double kSymbolScale = 12;

void drawSymbol(QPainter& painter, int mode, QPointF centre) {
  const Program p = pointSymbol(mode);
  auto at = [&](const Vec3& v) { return QPointF(centre.x() + v.x * kSymbolScale, centre.y() - v.y * kSymbolScale); };
  for (const Op& op : p.ops) {
    if (op.kind != OpKind::points && op.kind != OpKind::lineStrip && op.kind != OpKind::lineLoop) continue;
    if (op.first + op.count > p.vertices.size()) continue;
    QPolygonF line;
    for (std::uint32_t i = 0; i < op.count; ++i) line << at(p.vertices[op.first + i]);
    if (op.kind == OpKind::points) {
      painter.drawPoints(line);
    } else if (op.kind == OpKind::lineLoop) {
      painter.drawPolygon(line);
    } else {
      painter.drawPolyline(line);
    }
  }
}

}  // namespace

SymbolPicture::SymbolPicture(QWidget* parent) : QWidget(parent) {
  setFixedSize(kColumns * kCellWidth, kRows * kCellHeight);
  setObjectName("symbolPicture");
}

void SymbolPicture::setFrame(QPoint topLeft) {
  frame_ = topLeft;
  update();
}

void SymbolPicture::select(int x, int y) {
  const int left = std::min((std::max(x, 0) / kCellWidth) * kCellWidth + 5, kMaxLeft);
  const int top = std::min((std::max(y, 0) / kCellHeight) * kCellHeight + 3, kMaxTop);
  setFrame({left, top});
}

void SymbolPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(Qt::black, 1.2));
  painter.setBrush(Qt::NoBrush);
  for (int row = 0; row < kRows; ++row)
    for (int column = 0; column < kColumns; ++column)
      drawSymbol(painter, column + 32 * row,
                 QPointF(column * kCellWidth + kCellWidth / 2.0, row * kCellHeight + kCellHeight / 2.0));
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor(0, 0, 200), 2));
  painter.drawRect(QRect(frame_, QSize(kCellWidth - 10, kCellHeight - 6)));
}

void SymbolPicture::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  select(static_cast<int>(event->position().x()), static_cast<int>(event->position().y()));
}

QPoint PointStyleDialog::frameOf(int pointMode) {
  return {(pointMode % 8) * SymbolPicture::kCellWidth + 5, (pointMode / 32) * SymbolPicture::kCellHeight + 3};
}

int PointStyleDialog::modeOf(QPoint frame) {
  return (frame.x() - 5) / SymbolPicture::kCellWidth + ((frame.y() - 3) / SymbolPicture::kCellHeight) * 32;
}

PointStyleDialog::PointStyleDialog(int pointMode, double pointSize, QWidget* parent) : QDialog(parent) {
  showMessage = [this](const QString& caption, const QString& text) { QMessageBox::warning(this, caption, text); };
  setWindowTitle("点スタイル");
  picture_ = new SymbolPicture(this);
  picture_->setFrame(frameOf(pointMode));
  size_ = new QLineEdit(this);
  size_->setObjectName("sizeField");
  size_->setText(QString::number(std::fabs(pointSize), 'g', 15));
  sizeLabel_ = new QLabel(this);
  screen_ = new QRadioButton("画面に対するサイズ", this);
  model_ = new QRadioButton("モデル上のサイズ", this);
  (pointSize < 0 ? screen_ : model_)->setChecked(true);
  auto* ok = new QPushButton("O K", this);
  ok->setDefault(true);

  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(new QLabel("点サイズ", this));
  sizeRow->addWidget(size_);
  sizeRow->addWidget(sizeLabel_);
  auto* column = new QVBoxLayout(this);
  column->addWidget(picture_, 0, Qt::AlignHCenter);
  column->addLayout(sizeRow);
  column->addWidget(screen_);
  column->addWidget(model_);
  column->addWidget(ok, 0, Qt::AlignRight);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  connect(screen_, &QRadioButton::toggled, this, &PointStyleDialog::choiceChanged);
  connect(ok, &QPushButton::clicked, this, &PointStyleDialog::confirm);
  choiceChanged();
}

void PointStyleDialog::choiceChanged() {
  // The unit follows the choice: a share of the view height, or drawing units.
  sizeLabel_->setText(screen_->isChecked() ? "%" : "単位");
}

void PointStyleDialog::confirm() {
  double size = 0;
  if (!platform::parseDecimal(size_->text().toStdString(), size)) {
    showMessage("点スタイル", "点サイズには数値を入力してください");
    return;
  }
  pointSize_ = screen_->isChecked() ? -size : size;
  pointMode_ = modeOf(picture_->frame());
  accept();
}

}  // namespace viewer
