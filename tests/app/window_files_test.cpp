// The pattern file commands of the window, with the file dialogs answered by
// the test, and the preview on the lamps.
#include <QTimer>

#include "file_dialog.h"
#include "window_fixture.h"

using namespace vqled;

class WindowFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void savingNothingIsRefusedAndCancelWritesNothing();
  void allAreasRoundTripThroughAnAledFile();
  void currentAreaSaveCarriesModelAndCountAndImportsIntoTheShownArea();
  void exportProposesItsNameOnVqM21();
  void previewLightsTheLampsOfTheFirstFrame();

 private:
  // The next dialog answers path (empty: cancelled) and is recorded.
  void Answer(const QString& path) {
    SetFileDialogHook([this, path](QWidget*, const FileDialogRequest& request) {
      requests_.append(request);
      return path;
    });
  }

  std::unique_ptr<WindowFixture> fixture_;
  TForm2* form_ = nullptr;
  Ui::TForm2* ui_ = nullptr;
  QList<FileDialogRequest> requests_;
};

void WindowFilesTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
  form_ = &fixture_->Start();
  ui_ = form_->form();
  requests_.clear();
}

void WindowFilesTest::cleanup() {
  SetFileDialogHook({});
  fixture_.reset();
}

void WindowFilesTest::savingNothingIsRefusedAndCancelWritesNothing() {
  SelectModel(*form_, 4);  // the area buttons are enabled
  Answer(fixture_->Path("never"));
  ui_->BitBtn6->click();
  QCOMPARE(fixture_->messages.size(), 1);
  QCOMPARE(fixture_->messages[0].text, QStringLiteral("沒有花樣發送"));
  QCOMPARE(fixture_->messages[0].caption, QStringLiteral("沒有花樣"));
  ui_->BitBtn17->click();
  QCOMPARE(fixture_->messages[1].text, QStringLiteral("没有花样内容"));
  QVERIFY(requests_.isEmpty());

  form_->store.Cell(0, 3, 2) = 1;
  Answer(QString());
  ui_->BitBtn8->click();
  QCOMPARE(requests_.size(), 1);
  QVERIFY(requests_[0].save);
  QCOMPARE(requests_[0].filter, QStringLiteral("All files (*.*)|*.*|led files (*.led)|*.led"));
  QCOMPARE(requests_[0].filterIndex, 2);
  QCOMPARE(QDir(fixture_->Path("")).entryList(QDir::Files).size(), 0);
}

void WindowFilesTest::allAreasRoundTripThroughAnAledFile() {
  SelectModel(*form_, 4);
  form_->store.Cell(6, 10, 20) = 255;
  Answer(fixture_->Path("show.txt"));
  ui_->BitBtn6->click();
  QVERIFY(fixture_->messages.isEmpty());
  QVERIFY(QFile::exists(fixture_->Path("show.Aled")));
  QCOMPARE(ui_->Memo1->toPlainText().split(u'\n').size(), 2 * kAreaCount);

  ui_->BitBtn3->click();
  QCOMPARE(form_->store.Cell(6, 10, 20), 0);
  Answer(fixture_->Path("show.Aled"));
  ui_->BitBtn4->click();
  QVERIFY(!requests_.last().save);
  QCOMPARE(form_->store.Cell(6, 10, 20), 255);

  fixture_->WriteFile("short.Aled", QByteArray("\x00\x01\x02", 3));
  Answer(fixture_->Path("short.Aled"));
  ui_->BitBtn4->click();  // refused, named, and nothing changes
  QCOMPARE(fixture_->messages.size(), 1);
  QVERIFY(fixture_->messages[0].text.contains(QStringLiteral("short.Aled")));
  QCOMPARE(form_->store.Cell(6, 10, 20), 255);
}

void WindowFilesTest::currentAreaSaveCarriesModelAndCountAndImportsIntoTheShownArea() {
  SelectModel(*form_, 5);
  ui_->ComboBox4->setCurrentIndex(2);
  form_->ComboBox4Change();
  form_->store.Cell(0, 4, 3) = 200;
  Answer(fixture_->Path("one"));
  ui_->BitBtn8->click();
  const QByteArray bytes = fixture_->ReadFile("one.led");
  QVERIFY(bytes.size() > 2 + 30);
  QCOMPARE(bytes[0], char(5));  // the model index
  QCOMPARE(bytes[1], char(2));  // the controller-count index

  ui_->TabControl1->setCurrentIndex(3);
  form_->store.Cell(3, 9, 9) = 7;  // cleared by the import
  Answer(fixture_->Path("one.led"));
  ui_->BitBtn9->click();
  QCOMPARE(form_->store.Cell(3, 4, 3), 200);
  QCOMPARE(form_->store.Cell(3, 9, 9), 0);

  ui_->Edit6->clear();  // a loop count that is no number leaves the old file
  fixture_->messages.clear();
  ui_->BitBtn8->click();
  QCOMPARE(fixture_->ReadFile("one.led"), bytes);
  QVERIFY(!fixture_->messages.isEmpty());
}

void WindowFilesTest::exportProposesItsNameOnVqM21() {
  SelectModel(*form_, 21);
  ui_->TabControl1->setCurrentIndex(1);
  form_->store.Cell(1, 3, 2) = 50;
  Answer(fixture_->Path("EXP_2"));
  ui_->BitBtn17->click();
  QCOMPARE(requests_[0].fileName, QStringLiteral("EXP_2"));
  QCOMPARE(requests_[0].filter, QStringLiteral("All files (*.*)|*.*|VQD files (*.VQD)|*.VQD"));
  QVERIFY(fixture_->ReadFile("EXP_2.VQD").size() >= 30);
}

void WindowFilesTest::previewLightsTheLampsOfTheFirstFrame() {
  SelectModel(*form_, 13);
  form_->store.Cell(0, 3, 2) = 255;  // channel 1, frame 1
  form_->store.Cell(0, 5, 3) = 20;   // channel 3, frame 2
  QTimer* timer = form_->findChild<QTimer*>(QStringLiteral("Timer3"));
  ui_->BitBtn1->click();
  QVERIFY(timer->isActive());
  QCOMPARE(timer->interval(), 100);
  // Frame 1 lights lamp 1 in the deepest red, frame 2 lamp 3 in the palest.
  bool firstFrame = false;
  bool secondFrame = false;
  for (int tick = 0; tick < 100 && !secondFrame; ++tick) {
    form_->Timer3Timer();
    firstFrame = firstFrame || form_->previewLamp(0)->brushColor() == QColor(255, 0, 0);
    secondFrame = form_->previewLamp(2)->brushColor() == QColor(255, 239, 239);
  }
  QVERIFY(firstFrame);
  QVERIFY(secondFrame);
  ui_->BitBtn1->click();
  QVERIFY(!timer->isActive());
}

QTEST_MAIN(WindowFilesTest)
#include "window_files_test.moc"
