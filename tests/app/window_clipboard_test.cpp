// The system clipboard beside the editor's own, through real pointer events:
// a dragged copy goes out as tab-separated text and as the editor's block; a
// spreadsheet's text and another window's block paste; a bad cell is refused
// with nothing changed; the editor's own copy and paste work as before.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

#include "files/area_table.h"
#include "window_fixture.h"

using namespace vqled;

class WindowClipboardTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void copyAndCutPutTheBlockOnTheSystemClipboard();
  void spreadsheetTextPastesAndABadCellChangesNothing();
  void anotherWindowsBlockPastesWithItsFrameTimes();
  void ownCopyPastesFromTheEditorsClipboard();

 private:
  QWidget* Cells() const { return form_->grid()->viewport(); }
  QPoint CellCentre(int column, int row) const {
    return form_->grid()->cellRect(column, row).center();
  }
  void Drag(int fromColumn, int fromRow, int toColumn, int toRow) {
    QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(fromColumn, fromRow));
    QMouseEvent move(QEvent::MouseMove, CellCentre(toColumn, toRow),
                     Cells()->mapToGlobal(CellCentre(toColumn, toRow)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Cells(), &move);
    QTest::mouseRelease(Cells(), Qt::LeftButton, {}, CellCentre(toColumn, toRow));
  }
  void RightClick(int column, int row) {
    QTest::mouseClick(Cells(), Qt::RightButton, {}, CellCentre(column, row));
    QVERIFY(form_->rightMenu()->isVisible());
  }
  void Trigger(const char* item) {
    form_->rightMenu()->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    form_->rightMenu()->hide();
  }
  int32_t& CellOf(int column, int row) const {
    return form_->document().store().Cell(0, row, column);
  }
  FrameTimes& Times() const { return form_->document().store().frameTime[0]; }
  static QClipboard* Clipboard() { return QGuiApplication::clipboard(); }

  std::unique_ptr<WindowFixture> fixture_;
  TForm2* form_ = nullptr;
};

void WindowClipboardTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
  form_ = &fixture_->Start();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels
  form_->BitBtn13Click();   // English messages
  Clipboard()->clear();
}

void WindowClipboardTest::cleanup() {
  fixture_.reset();
}

void WindowClipboardTest::copyAndCutPutTheBlockOnTheSystemClipboard() {
  CellOf(2, 3) = 11;
  CellOf(4, 3) = 5;
  CellOf(3, 4) = 22;
  Times().timeValue[3] = 250;
  Times().timeType[3] = FRAME_TIME_MS;
  Drag(2, 3, 4, 4);  // channels 1..2, frames 1..3
  Trigger("N3");
  QCOMPARE(Clipboard()->text(), QStringLiteral("11\t0\t5\n0\t22\t0\n"));
  QCOMPARE(Clipboard()->mimeData()->data(QString::fromLatin1(kBlockMimeType)),
           QByteArray("vqled-block 1\n2 3\nd1 250ms d1\n11 0 5\n0 22 0\n"));
  QCOMPARE(CellOf(2, 3), 11);

  RightClick(3, 4);  // a single cell, cut
  Trigger("N6");
  QCOMPARE(Clipboard()->text(), QStringLiteral("22\n"));
  QCOMPARE(CellOf(3, 4), 0);
}

void WindowClipboardTest::spreadsheetTextPastesAndABadCellChangesNothing() {
  Clipboard()->setText(QStringLiteral("1\t2\t\r\n3\t4\t255\r\n"));  // as a spreadsheet copies
  RightClick(5, 7);
  Trigger("N5");
  QCOMPARE(CellOf(5, 7), 1);
  QCOMPARE(CellOf(6, 7), 2);
  QCOMPARE(CellOf(7, 7), 0);
  QCOMPARE(CellOf(7, 8), 255);
  QVERIFY(fixture_->messages.isEmpty());

  CellOf(10, 10) = 50;
  Clipboard()->setText(QStringLiteral("7\t7\n7\t300\n"));
  RightClick(10, 10);
  Trigger("N5");
  QCOMPARE(fixture_->messages.size(), 1);
  QVERIFY2(fixture_->messages[0].text.contains(QStringLiteral("row 2, column 2: \"300\"")),
           qPrintable(fixture_->messages[0].text));
  QCOMPARE(CellOf(10, 10), 50);
  QCOMPARE(CellOf(11, 10), 0);
  QCOMPARE(CellOf(10, 11), 0);
  QVERIFY(form_->isEnabled());
}

void WindowClipboardTest::anotherWindowsBlockPastesWithItsFrameTimes() {
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kBlockMimeType),
                QByteArray("vqled-block 1\n1 2\n2s 40ms\n9 8\n"));
  data->setText(QStringLiteral("9\t8\n"));
  Clipboard()->setMimeData(data);
  RightClick(6, 5);
  Trigger("N5");
  QCOMPARE(CellOf(6, 5), 9);
  QCOMPARE(CellOf(7, 5), 8);
  QCOMPARE(Times().timeValue[6], 2);
  QCOMPARE(Times().timeType[6], int32_t{FRAME_TIME_S});
  QCOMPARE(Times().timeValue[7], 40);
  QCOMPARE(Times().timeType[7], int32_t{FRAME_TIME_MS});
}

// After this window's own copy the paste is the editor's: cells only, and
// the caption columns of a rectangle paste as zeros.
void WindowClipboardTest::ownCopyPastesFromTheEditorsClipboard() {
  CellOf(2, 3) = 33;
  Times().timeType[2] = FRAME_TIME_MIN;
  Drag(1, 3, 2, 3);  // the colour-mark column and frame 1
  Trigger("N3");
  CellOf(9, 6) = 44;
  RightClick(8, 6);
  Trigger("N5");
  QCOMPARE(CellOf(8, 6), 0);
  QCOMPARE(CellOf(9, 6), 33);
  QCOMPARE(Times().timeType[9], int32_t{FRAME_TIME_DEFAULT});
  QVERIFY(fixture_->messages.isEmpty());
}

QTEST_MAIN(WindowClipboardTest)
#include "window_clipboard_test.moc"
