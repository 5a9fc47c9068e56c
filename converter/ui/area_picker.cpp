#include "converter/ui/area_picker.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "converter/settings/check_settings.h"
#include "converter/settings/choice_lists.h"
#include "converter/settings/start_checks.h"
#include "converter/ui/fields.h"
#include "converter/ui/form_widgets.h"
#include "converter/ui/map_view.h"
#include "platform/host.h"

namespace ui {

namespace {

constexpr const char* kLevelItems[picker::kLevelCount] = {
    "都道府県界", "北海道の支庁界", "郡市・東京都の区界", "町村・指定都市の区界", "大字・町・丁目界", "その他", "道路",
};
constexpr int kPanelWidth = 190;

// Digits of the mesh codes, rendered from the system font as 1-bit glyphs about 9 pixels
// wide and 24 high.
std::array<picker::DigitBitmap, 10> digitBitmaps() {
  QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
  font.setPixelSize(20);
  const int natural = QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
  if (natural > 0) font.setStretch(std::clamp(100 * 9 / natural, 50, 100));
  const QFontMetrics metrics(font);
  std::array<picker::DigitBitmap, 10> out;
  for (int d = 0; d < 10; ++d) {
    const QChar ch('0' + d);
    const int width = std::max(metrics.horizontalAdvance(ch), 1), height = 24;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter p(&image);
      p.setFont(font);
      p.setPen(Qt::black);
      p.drawText(0, height - metrics.descent() - 2, QString(ch));
    }
    auto& g = out[static_cast<std::size_t>(d)];
    g.width = width;
    g.height = height;
    g.advance = static_cast<float>(width);
    const int rowBytes = (width + 7) / 8;
    g.bits.assign(static_cast<std::size_t>(rowBytes * height), 0);
    for (int row = 0; row < height; ++row)  // bottom row first
      for (int x = 0; x < width; ++x)
        if (qGray(image.pixel(x, height - 1 - row)) < 128)
          g.bits[static_cast<std::size_t>(row * rowBytes + x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
  }
  return out;
}

// The cursor shown over each edge: a press drags the edge whose cursor is shown.
Qt::CursorShape edgeCursor(picker::Drag edge) {
  switch (edge) {
    case picker::Drag::west: return Qt::SizeHorCursor;
    case picker::Drag::east: return Qt::SplitHCursor;
    case picker::Drag::south: return Qt::SizeVerCursor;
    case picker::Drag::north: return Qt::SplitVCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

AreaPicker::AreaPicker(const settings::DrawingSettings& settings, const settings::RunValues& values,
                       const geo::PlaneCoordinates& coordinates, platform::Host& host, QWidget* parent)
    : QDialog(parent),
      coordinates_(coordinates),
      host_(host),
      store_(static_cast<std::size_t>(std::max<std::int64_t>(settings.elevationBufferCells, 1))),
      map_(store_),
      editor_(settings, values) {
  settings_.fgdFolder = settings.fgdFolder;
  settings_.scaleChoice = settings.scaleChoice;
  settings_.crossSectionsOn = settings.crossSectionsOn;
  setWindowTitle(QStringLiteral("拡大・縮小はホイールの回転  i キー  o キーで、移動はホイール押して、"
                                "描画範囲は左ボタンで操作できます。"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 8, 0);
  view_ = makeMapView([this] { initialiseGl(); }, [this] { paintMap(); }, this);
  view_->setObjectName("pickerMap");
  view_->setMouseTracking(true);
  view_->setFocusPolicy(Qt::NoFocus);
  view_->installEventFilter(this);
  layout->addWidget(view_, 1);
  layout->addWidget(buildPanel());
}

AreaPicker::~AreaPicker() {
  withMapContext(view_, [this] { painter_.release(); });
}

QWidget* AreaPicker::buildPanel() {
  auto* panel = new QWidget;
  panel->setFixedWidth(kPanelWidth);
  auto* column = new QVBoxLayout(panel);
  auto labelled = [column](const QString& text, QWidget* control) {
    auto* label = new QLabel(text);
    column->addWidget(label);
    column->addWidget(control);
    return label;
  };
  scale_ = choiceBox(settings::kScaleItems, "pickerScale");
  scale_->setMaxVisibleItems(16);
  labelled(QStringLiteral("縮尺"), scale_);
  auto spin = [](int low, int high, const char* name) {
    auto* box = new QSpinBox;
    box->setRange(low, high);
    box->setObjectName(name);
    return box;
  };
  rows_ = spin(1, 18277, "pickerRows");
  columns_ = spin(1, 256, "pickerColumns");
  overlap_ = spin(0, 50, "pickerOverlap");
  labelled(QStringLiteral("縦分割数"), rows_);
  labelled(QStringLiteral("横分割数"), columns_);
  overlapLabel_ = labelled(QStringLiteral("重ね(%)"), overlap_);
  angle_ = new AngleSpinBox;
  angle_->setObjectName("pickerAngle");
  angle_->setRange(-3600, 3600);
  angleLabel_ = labelled(QStringLiteral("断面図角度"), angle_);
  levelBox_ = new QComboBox;
  levelBox_->setObjectName("pickerLevel");
  for (const char* item : kLevelItems) levelBox_->addItem(QString::fromUtf8(item));
  labelled(QStringLiteral("表示レベル"), levelBox_);
  progress_ = new QProgressBar;
  progress_->setObjectName("pickerProgress");
  column->addWidget(progress_);
  column->addStretch();
  confirm_ = new QPushButton(QStringLiteral("　範囲決定"));
  confirm_->setObjectName("pickerConfirm");
  confirm_->installEventFilter(this);
  cancel_ = new QPushButton(QStringLiteral("キャンセル"));
  cancel_->setObjectName("pickerCancel");
  column->addWidget(confirm_);
  column->addWidget(cancel_);

  connect(confirm_, &QPushButton::clicked, this, &AreaPicker::confirm);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(scale_, &QComboBox::activated, this, [this](int choice) {
    editor_.setScale(choice);
    redraw();
  });
  for (auto* box : {rows_, columns_, overlap_})
    connect(box, &QSpinBox::valueChanged, this, &AreaPicker::countsChanged);
  connect(angle_, &QSpinBox::valueChanged, this, [this](int value) {
    editor_.setAngle(value);
    redraw();
  });
  connect(levelBox_, &QComboBox::activated, this, &AreaPicker::chooseLevel);
  return panel;
}

void AreaPicker::open() {
  progress_->hide();
  levelBox_->setCurrentIndex(picker::kOtherLevel);
  level_ = picker::kOtherLevel;
  for (auto* w : std::initializer_list<QWidget*>{scale_, rows_, columns_, overlap_}) w->blockSignals(true);
  scale_->setCurrentIndex(editor_.scaleChoice());
  rows_->setValue(editor_.rows());
  columns_->setValue(editor_.columns());
  overlap_->setValue(editor_.overlap());
  for (auto* w : std::initializer_list<QWidget*>{scale_, rows_, columns_, overlap_}) w->blockSignals(false);
  showOverlapControls();
  angle_->blockSignals(true);
  angle_->setValue(editor_.angle());
  angle_->blockSignals(false);
  angle_->setVisible(editor_.sectionsShown());
  angleLabel_->setVisible(editor_.sectionsShown());

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect r = screen->geometry();
    resize(r.width() * 95 / 100, r.height() * 90 / 100);
  }
  files_ = picker::listFiles(settings_.fgdFolder);
  if (files_.boundaryFiles().empty())
    host_.message("正常に表示できません", "読込フォルダ内に、行政区画データがありません");
  else
    loadBoundaries();
  meshBox_ = picker::firstLevelBox(map_.dataBox());
  editor_.layOut();
  editor_.setClientSize(view_->width(), view_->height());
  editor_.showBox(map_.dataBox(), coordinates_);
  fitPending_ = true;
}

void AreaPicker::loadBoundaries() {
  const auto end = map_.loadBoundaries(files_.boundaryFiles(), [] { QCoreApplication::processEvents(); });
  if (!end.loaded()) host_.message(end.caption, end.text);
  // A full store keeps what was compiled before; a file that failed still shows the rest.
  if (end.kind != picker::LoadEnd::Kind::storeFull) boundariesDirty_ = true;
}

void AreaPicker::loadRoads() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  levelBox_->hide();
  progress_->setRange(0, static_cast<int>(files_.roads.size()) + 2);
  progress_->setValue(0);
  progress_->show();
  const auto end = map_.loadRoads(
      files_.roads, coordinates_, editor_.view, [this](int done, int) { progress_->setValue(done); },
      [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  progress_->hide();
  levelBox_->show();
  QApplication::restoreOverrideCursor();
  if (end.kind == picker::LoadEnd::Kind::storeFull) {
    host_.message(end.caption, end.text);
    level_ = picker::kOtherLevel;
    levelBox_->setCurrentIndex(level_);
    return;
  }
  if (!end.loaded()) host_.message(end.caption, end.text);
  roadsDirty_ = true;
}

void AreaPicker::chooseLevel(int level) {
  const int before = level_;
  level_ = level;
  levelBox_->setCurrentIndex(level);
  if (before < picker::kRoadLevel && level == picker::kRoadLevel) loadRoads();
  if (before == picker::kRoadLevel && level < picker::kRoadLevel && !files_.boundaryFiles().empty()) loadBoundaries();
  redraw();
}

void AreaPicker::countsChanged() {
  editor_.setCounts(rows_->value(), columns_->value(), overlap_->value());
  showOverlapControls();
  redraw();
}

void AreaPicker::showOverlapControls() {
  overlap_->setVisible(editor_.overlapVisible());
  overlapLabel_->setVisible(editor_.overlapVisible());
}

void AreaPicker::setMeshOverlay(bool on) {
  overlayOn_ = on;
  redraw();
}

void AreaPicker::confirm() {
  editor_.setCounts(rows_->value(), columns_->value(), overlap_->value());
  accept();
}

void AreaPicker::redraw() { view_->update(); }

void AreaPicker::initialiseGl() { painter_.buildDigits(digitBitmaps()); }

void AreaPicker::paintMap() {
  if (boundariesDirty_) painter_.compileBoundaries(map_, coordinates_);
  if (roadsDirty_) painter_.compileRoads(map_, editor_.values().unitsPerMetre);
  boundariesDirty_ = roadsDirty_ = false;
  picker::MapPainter::Frame frame;
  const double ratio = view_->devicePixelRatioF();
  frame.width = std::max(1, static_cast<int>(view_->width() * ratio));
  frame.height = std::max(1, static_cast<int>(view_->height() * ratio));
  frame.view = panning_ ? editor_.panned(panTravel_.x(), panTravel_.y()) : editor_.view;
  frame.hasMap = !files_.boundaryFiles().empty();
  frame.level = level_;
  frame.strokes = editor_.gridStrokes();
  const auto sections = editor_.sectionStrokes();
  frame.strokes.insert(frame.strokes.end(), sections.begin(), sections.end());
  picker::MeshOverlay overlay;
  if (overlayOn_) {
    overlay = picker::meshOverlay(frame.view, editor_.values().unitsPerMetre, meshBox_, coordinates_);
    frame.overlay = &overlay;
  }
  painter_.draw(frame);
}

QPoint AreaPicker::mouseOnMap() const { return view_->mapFromGlobal(QCursor::pos()); }

bool AreaPicker::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_) {
    mapInput(event);
  } else if (watched == confirm_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_I || key == Qt::Key_O) {
      const QPoint at = mouseOnMap();
      editor_.zoom(at.x(), at.y(), key == Qt::Key_I);
      redraw();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void AreaPicker::mapInput(QEvent* event) {
  switch (event->type()) {
    case QEvent::Resize:
      editor_.setClientSize(view_->width(), view_->height());
      // The size rule only ever widens the view: sizes the map passes through before it
      // is first shown would leave the data in a corner.
      if (fitPending_ && view_->isVisible()) {
        editor_.showBox(map_.dataBox(), coordinates_);
        fitPending_ = false;
      }
      break;
    case QEvent::Show:
      editor_.setClientSize(view_->width(), view_->height());
      if (fitPending_) {
        editor_.showBox(map_.dataBox(), coordinates_);
        fitPending_ = false;
      }
      break;
    case QEvent::Enter:
      confirm_->setFocus();
      break;
    case QEvent::Wheel: {
      auto* e = static_cast<QWheelEvent*>(event);
      if (e->angleDelta().y() == 0) break;
      editor_.zoom(e->position().x(), e->position().y(), e->angleDelta().y() > 0);
      redraw();
      break;
    }
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      confirm_->setFocus();
      if (e->button() == Qt::LeftButton && editor_.drag() == picker::Drag::idle) {
        editor_.press(e->position().x(), e->position().y(), hoverEdge_);
      } else if (e->button() == Qt::MiddleButton) {
        panning_ = true;
        panStart_ = e->position().toPoint();
        panTravel_ = {};
      } else if (e->button() == Qt::RightButton) {
        overlayOn_ = true;
      }
      redraw();
      break;
    }
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (panning_) {
        panTravel_ = e->position().toPoint() - panStart_;
      } else if (editor_.drag() != picker::Drag::idle) {
        editor_.move(e->position().x(), e->position().y());
      } else {
        hoverEdge_ = editor_.edgeAt(e->position().x(), e->position().y());
        view_->setCursor(edgeCursor(hoverEdge_));
        break;
      }
      redraw();
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() == Qt::LeftButton && editor_.drag() != picker::Drag::idle) {
        editor_.release(e->position().x(), e->position().y());
      } else if (e->button() == Qt::MiddleButton && panning_) {
        panTravel_ = e->position().toPoint() - panStart_;
        editor_.pan(panTravel_.x(), panTravel_.y());
        panning_ = false;
      } else if (e->button() == Qt::RightButton) {
        overlayOn_ = false;
      }
      redraw();
      break;
    }
    default: break;
  }
}

bool pickAreaOnMap(QWidget* parent, settings::DrawingSettings& settings, const platform::PrinterCatalogue& printers,
                   platform::Host& host) {
  settings::RunValues values;
  geo::PlaneCoordinates coordinates;
  if (settings::refuseSettings(settings, values, printers, coordinates, host)) return false;
  AreaPicker picker(settings, values, coordinates, host, parent);
  picker.open();
  if (picker.exec() != QDialog::Accepted) return false;
  picker.writeBack(settings);
  return true;
}

}  // namespace ui
