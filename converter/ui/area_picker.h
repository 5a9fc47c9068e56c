#pragma once
// "地図で指定": a modal map of the data folder's administrative boundaries (and, at level
// "道路", its road edges) on which the area, its edges or a fixed-scale block of sheets
// are dragged. "　範囲決定" writes the area, the sheet grid and the section angle back.
#include <QDialog>
#include <QPoint>
#include <vector>

#include "converter/geo/plane_coordinates.h"
#include "converter/picker/area_editor.h"
#include "converter/picker/boundary_map.h"
#include "converter/picker/gl/map_painter.h"
#include "converter/picker/mesh_overlay.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace platform {
class Host;
class PrinterCatalogue;
}  // namespace platform

namespace ui {

class AngleSpinBox;

class AreaPicker : public QDialog {
 public:
  // `values` and `coordinates` are those of start checks that passed.
  AreaPicker(const settings::DrawingSettings& settings, const settings::RunValues& values,
             const geo::PlaneCoordinates& coordinates, platform::Host& host, QWidget* parent = nullptr);
  ~AreaPicker() override;

  // Sizes the window to the screen, lists and loads the boundary files, shows the data.
  void open();
  // The confirmed area, grid and angle into `into` (after exec returned Accepted).
  void writeBack(settings::DrawingSettings& into) const { editor_.confirm(into); }

  picker::AreaEditor& editor() { return editor_; }
  const picker::BoundaryMap& map() const { return map_; }
  QWidget* mapWidget() const { return view_; }
  // Shows the level as if chosen in the combo (loads roads or boundaries as needed).
  void chooseLevel(int level);
  void setMeshOverlay(bool on);
  void confirm();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildPanel();
  void mapInput(QEvent* event);
  void loadBoundaries();
  void loadRoads();
  void countsChanged();
  void showOverlapControls();
  void redraw();
  void initialiseGl();
  void paintMap();
  QPoint mouseOnMap() const;

  settings::DrawingSettings settings_;
  geo::PlaneCoordinates coordinates_;
  platform::Host& host_;
  std::vector<geo::PointPair> store_;
  picker::BoundaryMap map_;
  picker::MapFiles files_;
  picker::AreaEditor editor_;
  picker::MapPainter painter_;
  gml::Box meshBox_;
  bool boundariesDirty_ = false, roadsDirty_ = false;
  bool panning_ = false, overlayOn_ = false;
  bool fitPending_ = false;  // the data box is shown again once the map has its real size
  QPoint panStart_, panTravel_;
  picker::Drag hoverEdge_ = picker::Drag::idle;
  int level_ = picker::kOtherLevel;

  QWidget* view_;
  QComboBox *scale_, *levelBox_;
  QSpinBox *rows_, *columns_, *overlap_;
  QLabel *overlapLabel_, *angleLabel_;
  AngleSpinBox* angle_;
  QProgressBar* progress_;
  QPushButton *confirm_, *cancel_;
};

// "地図で指定" of the main window: the start checks, then the picker over `settings`.
// True when an area was confirmed and written into `settings`.
bool pickAreaOnMap(QWidget* parent, settings::DrawingSettings& settings, const platform::PrinterCatalogue& printers,
                   platform::Host& host);

}  // namespace ui
