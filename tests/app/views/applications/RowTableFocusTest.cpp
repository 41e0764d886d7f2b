#include "support/TestMain.h"
#include "views/applications/RowTable.h"
#include "views/design/Theme.h"

#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace tidra;

// A table that Tab reaches with nothing selected still shows where the focus is: its current
// row is ringed. A click leaves no ring.
class RowTableFocusTest : public QObject {
  Q_OBJECT

private slots:
  void aTabbedIntoTableRingsItsCurrentRow() {
    Theme::apply(Theme::Scheme::light);
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    auto* before = new QPushButton(QStringLiteral("Before"), &window);
    auto* table = new RowTable({QStringLiteral("Name"), QStringLiteral("Size")}, &window);
    column->addWidget(before);
    column->addWidget(table);
    table->setRows({"a", "b"}, [](QTreeWidgetItem& item, const std::string& id) {
      item.setText(0, QString::fromStdString(id));
      item.setText(1, QStringLiteral("1 GB"));
    });
    window.resize(400, 200);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    table->setFocus(Qt::MouseFocusReason);
    table->setCurrentItem(table->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
    const QImage clicked = table->grab().toImage();

    before->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(before, Qt::Key_Tab);
    QVERIFY(table->hasFocus());
    QVERIFY(table->selectedItems().isEmpty());
    QCOMPARE(table->currentItem(), table->topLevelItem(0));
    QVERIFY(table->grab().toImage() != clicked);
  }
};

TIDRA_TEST_MAIN(RowTableFocusTest)
#include "RowTableFocusTest.moc"
