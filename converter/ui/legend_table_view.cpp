#include "converter/ui/legend_table_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

#include "converter/settings/sheet_labels.h"
#include "converter/ui/form_widgets.h"

namespace ui {

LegendTableModel::LegendTableModel(settings::LegendTable& table, QString corner, QColor fixedColour, QObject* parent)
    : QAbstractTableModel(parent), table_(table), corner_(std::move(corner)), fixedColour_(fixedColour) {}

int LegendTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.rows() + 1; }
int LegendTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.columns() + 1;
}

QVariant LegendTableModel::data(const QModelIndex& index, int role) const {
  const int r = index.row(), c = index.column();
  const bool fixed = r == 0 || c == 0;
  if (role == Qt::BackgroundRole) return fixed ? QVariant(fixedColour_) : QVariant();
  if (role == Qt::TextAlignmentRole) return QVariant(int(fixed ? Qt::AlignCenter : (Qt::AlignRight | Qt::AlignVCenter)));
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  if (r == 0 && c == 0) return corner_;
  if (r == 0) return QString::number(c - 1);
  if (c == 0) return q(settings::rowst(r - 1, "", table_.rows()));
  return q(table_.cell(r - 1, c - 1));
}

bool LegendTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.row() == 0 || index.column() == 0) return false;
  table_.setCell(index.row() - 1, index.column() - 1, s8(value.toString()));
  emit dataChanged(index, index);
  return true;
}

Qt::ItemFlags LegendTableModel::flags(const QModelIndex& index) const {
  if (index.row() == 0 || index.column() == 0) return Qt::ItemIsEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void LegendTableModel::reload() {
  beginResetModel();
  endResetModel();
}

void LegendTableModel::setCorner(const QString& corner) {
  corner_ = corner;
  emit dataChanged(index(0, 0), index(0, 0));
}

// ---------------------------------------------------------------------------------------

LegendTableView::LegendTableView(settings::LegendTable& table, const QString& corner, QColor fixedColour,
                                 std::function<void()> editorOpened, QWidget* parent)
    : QTableView(parent), editorOpened_(std::move(editorOpened)) {
  model_ = new LegendTableModel(table, corner, fixedColour, this);
  setModel(model_);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setDefaultSectionSize(72);
  verticalHeader()->setDefaultSectionSize(24);
  setShowGrid(true);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
}

bool LegendTableView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const bool opened = QTableView::edit(index, trigger, event);
  if (opened && trigger != QAbstractItemView::NoEditTriggers && editorOpened_) editorOpened_();
  return opened;
}

QString LegendTableView::copyText() const {
  const auto selected = selectionModel()->selectedIndexes();
  int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
  for (const QModelIndex& i : selected) {
    if (i.row() == 0 || i.column() == 0) continue;
    top = std::min(top, i.row());
    bottom = std::max(bottom, i.row());
    left = std::min(left, i.column());
    right = std::max(right, i.column());
  }
  QString text;
  for (int r = top; r <= bottom; ++r) {
    for (int c = left; c <= right; ++c) {
      if (c > left) text += '\t';
      text += model_->data(model_->index(r, c), Qt::DisplayRole).toString();
    }
    text += QStringLiteral("\r\n");
  }
  return text;
}

void LegendTableView::pasteText(const QString& text) {
  const QModelIndex start = currentIndex();
  if (!start.isValid()) return;
  const int firstColumn = start.column();
  int r = start.row(), c = firstColumn;
  QString value;
  auto store = [&] {
    // Values outside the table and on the fixed cells are dropped.
    if (r >= 1 && c >= 1 && r < model_->rowCount() && c < model_->columnCount())
      model_->setData(model_->index(r, c), value, Qt::EditRole);
    value.clear();
  };
  for (const QChar ch : text) {
    if (ch == '\t') {
      store();
      ++c;
    } else if (ch == '\r') {
      store();
      ++r;
      c = firstColumn;
    } else if (ch != '\n') {
      value += ch;
    }
  }
}

void LegendTableView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(copyText());
    return;
  }
  if (event->matches(QKeySequence::Paste)) {
    pasteText(QGuiApplication::clipboard()->text());
    return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace ui
