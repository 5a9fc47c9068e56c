// The data tabs, the legend tables, the small dialogs and the version button.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "converter/ui/fields.h"
#include "converter/ui/layer_tree_view.h"
#include "converter/ui/legend_table_view.h"
#include "converter/ui/mlit_list_view.h"
#include "converter/ui/style_dialog.h"
#include "tests/common/zip_writer.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace fs = std::filesystem;
using Panels = WindowTest;

// The first group of the tree with at least two items.
int groupWithItems(const settings::LayerTree& tree) {
  for (std::size_t g = 0; g < tree.groups.size(); ++g)
    if (tree.groups[g].items.size() >= 2) return int(g);
  return -1;
}

TEST_F(Panels, TreeGroupFollowsItsItemsAndTheirColours) {
  open();
  auto& tree = window->settings().fgdLayers;
  ui::LayerTreeView* view = window->fgdTree();
  const int g = groupWithItems(tree);
  ASSERT_GE(g, 0);
  auto& group = tree.groups[std::size_t(g)];
  ASSERT_EQ(view->topLevelItemCount(), int(tree.groups.size()));

  // All items off: the group is off and collapsed by "ツリー展開".
  for (auto& item : group.items)
    if (item.on) view->flip(g, int(&item - group.items.data()));
  EXPECT_FALSE(group.on);
  view->expandActive();
  EXPECT_FALSE(view->topLevelItem(g)->isExpanded());
  // A click on an item's check image switches it and its group on.
  view->expandEvery();
  view->resize(500, 900);
  view->show();
  QApplication::processEvents();
  QTreeWidgetItem* first = view->topLevelItem(g)->child(0);
  view->scrollToItem(first);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->checkImageRect(first).center());
  EXPECT_TRUE(group.items[0].on);
  EXPECT_TRUE(group.on);
  // A click on the caption does not switch.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(first).center() + QPoint(60, 0));
  EXPECT_TRUE(group.items[0].on);
  // The space key flips the selected group and passes its state to the items.
  view->setCurrentItem(view->topLevelItem(g));
  QTest::keyClick(view, Qt::Key_Space);
  EXPECT_FALSE(group.on);
  for (const auto& item : group.items) EXPECT_FALSE(item.on);

  // Restyling: the group takes a value only once every item has it.
  std::uint32_t answer = 0x0000FF;
  window->askStyle = [&](const ui::EntryStyle& start, const QString&) {
    ui::EntryStyle s = start;
    s.colour = answer;
    return std::optional(s);
  };
  view->restyle(g, -1);  // the whole group red
  answer = 0x00FF00;
  view->restyle(g, 0);
  EXPECT_EQ(group.entry.colour, 0x0000FFu);
  for (std::size_t i = 1; i < group.items.size(); ++i) view->restyle(g, int(i));
  EXPECT_EQ(group.entry.colour, 0x00FF00u);
  EXPECT_EQ(view->topLevelItem(g)->foreground(0).color(), QColor(0, 0xFF, 0));
}

TEST_F(Panels, ShiftOrCtrlGreysTheTreeWhileHeld) {
  open();
  ui::LayerTreeView* view = window->basicInfoTree();
  for (Qt::Key key : {Qt::Key_Shift, Qt::Key_Control}) {
    QTest::keyPress(view, key);
    EXPECT_TRUE(view->greyBackground());
    EXPECT_EQ(view->palette().color(QPalette::Base), QColor(0x80, 0x80, 0x80));
    QTest::keyRelease(view, key);
    EXPECT_FALSE(view->greyBackground());
  }
}

TEST_F(Panels, NationalLandListInColumnsOf25) {
  open();
  const auto& items = window->settings().mlitLayers;
  ASSERT_GT(items.size(), 25u);
  EXPECT_EQ(window->mlitList()->box(0)->geometry().topLeft(), QPoint(4, 67));
  EXPECT_EQ(window->mlitList()->box(24)->geometry().topLeft(), QPoint(4, 24 * 23 + 67));
  EXPECT_EQ(window->mlitList()->box(25)->geometry().topLeft(), QPoint(248, 67));
  QCheckBox* box = window->mlitList()->box(25);
  EXPECT_EQ(box->text().toStdString(), items[25].caption);
  const bool was = items[25].on;
  box->click();
  EXPECT_EQ(items[25].on, !was);
  // A right click restyles: colour and style code.
  window->askStyle = [](const ui::EntryStyle&, const QString& caption) {
    EXPECT_FALSE(caption.isEmpty());
    return std::optional(ui::EntryStyle{0x123456, 5, 14});
  };
  window->mlitList()->restyle(25);
  EXPECT_EQ(items[25].colour, 0x123456u);
  EXPECT_EQ(items[25].styleCode, 14 * 256 + 5);
}

TEST_F(Panels, CtrlOnAFolderButtonListsTheFolderOnTheClipboard) {
  open();
  fs::create_directories(temp / "fgd");
  writeBytes(temp / "fgd" / "FG-GML-5339-45-AdmArea-20200101-0001.xml", "x");
  writeBytes(temp / "fgd" / "FG-GML-5339-45-RdEdg-20200101-0001.xml", "x");
  writeBytes(temp / "fgd" / "download.zip", "x");
  auto* edit = control<QLineEdit>("fgdFolder");
  edit->setText(QString::fromStdString((temp / "fgd").string()));
  QPushButton* button = nullptr;
  for (auto* b : window->findChildren<QPushButton*>())
    if (b->text() == QStringLiteral("基盤地図情報フォルダ")) button = b;
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(host.clipboard, ui::versionText().toStdString() + "\r\n基盤地図情報フォルダ:" + (temp / "fgd").string() +
                                "\r\nFG-GML-5339-45-AdmArea-20200101-0001.xml\r\ndownload.zip\r\n");
}

TEST_F(Panels, LegendTablesFollowTheSheetGrid) {
  open();
  control<ui::CountSpinBox>("sheetRows")->setText("3");
  control<ui::CountSpinBox>("sheetColumns")->setText("2");
  control<QComboBox>("drawingUnit")->setCurrentIndex(1);
  window->tabs()->setCurrentIndex(4);
  auto* grid = window->intervalGrid();
  auto* model = grid->legendModel();
  ASSERT_EQ(model->rowCount(), 4);
  ASSERT_EQ(model->columnCount(), 3);
  auto text = [&](ui::LegendTableView* v, int r, int c) {
    return v->legendModel()->data(v->legendModel()->index(r, c), Qt::DisplayRole).toString().toStdString();
  };
  EXPECT_EQ(text(grid, 1, 0) + text(grid, 2, 0) + text(grid, 3, 0), "ABC");
  EXPECT_EQ(text(grid, 0, 1) + text(grid, 0, 2), "01");
  EXPECT_EQ(text(grid, 0, 0), "間隔(cm)");
  EXPECT_EQ(text(window->bottomGrid(), 0, 0), "下面(cm)");

  // Pasting: a full line stores its values; text without a line end stores nothing.
  grid->setCurrentIndex(model->index(1, 1));
  grid->pasteText("5\t10\r\n");
  EXPECT_EQ(window->settings().legendIntervals.cell(0, 0), "5");
  EXPECT_EQ(window->settings().legendIntervals.cell(0, 1), "10");
  grid->setCurrentIndex(model->index(3, 1));
  grid->pasteText("5");
  EXPECT_EQ(window->settings().legendIntervals.cell(2, 0), "");
  grid->pasteText("7\t8\t9\r\n1\r\n");  // past the right and bottom edges: dropped
  EXPECT_EQ(window->settings().legendIntervals.cell(2, 0), "7");
  EXPECT_EQ(window->settings().legendIntervals.cell(2, 1), "8");
  grid->selectionModel()->select(QItemSelection(model->index(1, 1), model->index(1, 2)),
                                 QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(grid->copyText().toStdString(), "5\t10\r\n");

  // Two rows drop the third row's values; three again show it empty.
  control<ui::CountSpinBox>("sheetRows")->setText("2");
  window->tabs()->setCurrentIndex(5);
  EXPECT_EQ(model->rowCount(), 3);
  control<ui::CountSpinBox>("sheetRows")->setText("3");
  window->tabs()->setCurrentIndex(4);
  EXPECT_EQ(model->rowCount(), 4);
  EXPECT_EQ(text(grid, 3, 1), "");

  // Typing into a cell switches the automatic legend off.
  auto* automatic = control<QCheckBox>("legendAuto");
  automatic->setChecked(true);
  grid->setCurrentIndex(model->index(2, 2));
  QTest::keyClick(grid, Qt::Key_4);
  EXPECT_FALSE(automatic->isChecked());
  EXPECT_FALSE(window->settings().legendAuto);
}

TEST(StyleDialog, ColourLabelAndSwatches) {
  struct Row {
    const char* name;
    std::uint32_t colour;
    const char* label;
  };
  for (const Row& r : {Row{"grey is table entry 8", 0x808080, "No.8"}, Row{"red is entry 1", 0x0000FF, "No.1"},
                       Row{"entry 0", 0x000001, "No.0"}, Row{"not in the table", 0x123457, "TrueColor:123457"}})
    EXPECT_EQ(ui::colourLabelText(r.colour).toStdString(), r.label) << r.name;

  ui::StyleDialog full({0x0000FF, 2, 12}, 0, "caption");
  EXPECT_EQ(full.swatches().size(), 9u + 240u + 6u);
  EXPECT_FALSE(full.findChild<QPushButton*>("trueColourButton")->isHidden());
  ui::StyleDialog old({0x0000FF, 2, 12}, 2, "caption");
  EXPECT_EQ(old.swatches().size(), 9u);
  EXPECT_TRUE(old.findChild<QPushButton*>("trueColourButton")->isHidden());

  // A press on swatch 8 picks grey; on the background nothing, and a double click there stays open.
  for (const auto& s : old.swatches())
    if (s.entry == 8) old.pickAt(s.rect.center());
  EXPECT_EQ(old.colourLabel().toStdString(), "No.8");
  EXPECT_EQ(old.chosen().colour, 0x808080u);
  old.show();
  ASSERT_TRUE(old.isVisible());
  QTest::mouseDClick(&old, Qt::LeftButton, {}, QPoint(400, 120));
  EXPECT_TRUE(old.isVisible());
  EXPECT_EQ(old.chosen().colour, 0x808080u);
  QTest::mouseDClick(&old, Qt::LeftButton, {}, old.swatches()[0].rect.center());
  EXPECT_FALSE(old.isVisible());
  EXPECT_EQ(old.result(), QDialog::Accepted);
  EXPECT_EQ(old.chosen().colour, 0x0000FFu);
}

TEST(MemoryDialog, FactorLimitGrowsWithFreeMemory) {
  ui::MemoryDialog dialog(1, 8, 800000);
  EXPECT_EQ(dialog.factorLimit(), 11);
  EXPECT_EQ(dialog.freeMemoryText().toStdString(), "空きメモリー　800,000 KB");
  ui::MemoryDialog larger(3, 4, 80000);
  EXPECT_EQ(larger.factorLimit(), 4);
  EXPECT_EQ(larger.contourShare(), 4);
}

TEST_F(Panels, VersionButtonKeyCombinations) {
  open();
  auto* button = control<QPushButton>("versionButton");
  QTest::mouseClick(button, Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_TRUE(host.clipboard.empty());

  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].caption, ui::versionText().toStdString());

  QTest::mouseClick(button, Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(host.clipboard.rfind(ui::versionText().toStdString() + "\r\n基盤地図情報フォルダ:", 0), 0u);

  window->askMemory = [](int factor, int share) {
    EXPECT_EQ(factor, 1);
    EXPECT_EQ(share, 8);
    return std::optional(std::pair{3, 5});
  };
  QTest::mouseClick(button, Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(window->settings().elevationBufferCells, 3 * 2097152);
  EXPECT_EQ(window->settings().contourShare, 5);

  host.answer = false;
  QTest::mouseClick(button, Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_EQ(host.shown.back().caption, "完全なアンインストール時に使います");
  EXPECT_TRUE(fs::exists(platform::settingsFolder()));
  host.answer = true;
  QTest::mouseClick(button, Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_FALSE(fs::exists(platform::settingsFolder()));
}

TEST_F(Panels, PageButtonsOpenTheirAddresses) {
  open();
  control<QPushButton>("page1")->click();
  ASSERT_EQ(host.addresses.size(), 1u);
  EXPECT_EQ(host.addresses[0], window->pageLinks()[1]);
  EXPECT_EQ(host.addresses[0].rfind("http", 0), 0u);
}

}  // namespace

namespace {

TEST_F(Panels, UnpackButtonExtractsTheDataSetFolderAndReportsDamage) {
  open();
  const fs::path sets = temp / "地図データ" / "基盤地図情報";
  writeZip(sets / "FG-GML-5339-ALL.zip", {{"FG-GML-5339-45-AdmArea-1.xml", "a\n"}, {"FG-GML-5339-45-RdEdg-1.xml", "b\n"}});
  writeZip(sets / "sub" / "good.zip", {{"FG-GML-5340-00-BldA-1.xml", "c\n"}});
  writeZip(sets / "cut.zip", {{"lost.xml", "d\n"}});
  const std::string whole = readBytes(sets / "cut.zip");
  writeBytes(sets / "cut.zip", whole.substr(0, 30));
  // The folder field points below the data set's folder: the whole data set folder is unpacked.
  control<QLineEdit>("fgdFolder")->setText(QString::fromStdString((sets / "FG-GML-5339").string()));
  QPushButton* unpack = nullptr;
  for (auto* b : window->tabs()->widget(1)->findChildren<QPushButton*>())
    if (b->text() == QStringLiteral("解　凍")) unpack = b;
  ASSERT_NE(unpack, nullptr);
  unpack->click();
  EXPECT_EQ(readBytes(sets / "FG-GML-5339-45-RdEdg-1.xml"), "b\n");
  EXPECT_EQ(readBytes(sets / "sub" / "FG-GML-5340-00-BldA-1.xml"), "c\n");
  EXPECT_FALSE(fs::exists(sets / "lost.xml"));
  ASSERT_FALSE(host.shown.empty());
  const auto& report = host.shown.back();
  EXPECT_EQ(report.caption, "データの解凍");
  EXPECT_NE(report.text.find("2 / 3 個のzipファイルから 3 個のファイルを展開しました"), std::string::npos) << report.text;
  EXPECT_NE(report.text.find("cut.zip"), std::string::npos) << report.text;
}

}  // namespace
