#pragma once
// A per-sheet legend table (intervals or bottoms) shown as a grid with a fixed header row
// (column numbers) and column (row labels): the cell (c + 1, r + 1) is the sheet in row r,
// column c. Opening an editor reports it (the window then switches automatic legends off);
// Ctrl+C and Ctrl+V copy and paste ranges as TAB and CR LF separated text.
#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>
#include <functional>

#include "converter/settings/legend_table.h"

namespace ui {

class LegendTableModel : public QAbstractTableModel {
 public:
  LegendTableModel(settings::LegendTable& table, QString corner, QColor fixedColour, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // After the table changed size or contents outside the model.
  void reload();
  void setCorner(const QString& corner);
  settings::LegendTable& table() { return table_; }

 private:
  settings::LegendTable& table_;
  QString corner_;
  QColor fixedColour_;
};

class LegendTableView : public QTableView {
 public:
  LegendTableView(settings::LegendTable& table, const QString& corner, QColor fixedColour,
                  std::function<void()> editorOpened, QWidget* parent = nullptr);
  LegendTableModel* legendModel() const { return model_; }
  // The selected range as text (empty when nothing inside the table is selected).
  QString copyText() const;
  // Pastes at the current cell by the rules of the TAB and CR separated text.
  void pasteText(const QString& text);

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  LegendTableModel* model_;
  std::function<void()> editorOpened_;
};

}  // namespace ui
