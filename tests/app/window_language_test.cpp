// The three language switches on the window: the captions each sets and
// those a dash leaves alone, the language mode, the grid's corner, the model
// applied again, and the language a restart comes up in.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>

#include "editor/cell_painter.h"
#include "window_fixture.h"

using namespace vqled;

namespace {

using Switch = void (TForm2::*)();
constexpr Switch kSwitches[3] = {&TForm2::BitBtn12Click, &TForm2::BitBtn11Click,
                                 &TForm2::BitBtn13Click};

QString Caption(TForm2& form, const char* control) {
  const QString name = QString::fromLatin1(control);
  if (name == form.objectName()) return form.windowTitle();
  if (auto* item = form.rightMenu()->findChild<QAction*>(name)) return item->text();
  if (auto* label = form.findChild<QLabel*>(name)) return label->text();
  if (auto* button = form.findChild<QAbstractButton*>(name)) return button->text();
  if (auto* group = form.findChild<QGroupBox*>(name)) return group->title();
  return QStringLiteral("<no control %1>").arg(name);
}

QString Corner(TForm2& form) {
  const CellPaint paint = PaintCell(form.store, form.profile, form.languageMode.textVariant, 0, 0);
  return QString::fromStdString(paint.texts[paint.textCount - 1].text);
}

}  // namespace

class WindowLanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void switchesSetTheirColumnAndLeaveDashesAlone_data();
  void switchesSetTheirColumnAndLeaveDashesAlone();
  void switchMakesAreaOneCurrentAndKeepsTheAreaControls();
  void controllerCountThatIsNoNumberFailsAfterTheCaptions();
  void restartComesUpInTheSavedLanguage_data();
  void restartComesUpInTheSavedLanguage();
};

// Each row: the switches pressed after the start (in Simplified Chinese).
void WindowLanguageTest::switchesSetTheirColumnAndLeaveDashesAlone_data() {
  QTest::addColumn<QList<int>>("presses");
  QTest::addColumn<int>("textVariant");
  QTest::addColumn<int>("savedLanguage");
  QTest::addColumn<QString>("corner");
  QTest::newRow("English") << QList<int>{LANGUAGE_ENGLISH} << 1 << 1 << "    N0";
  QTest::newRow("English, Traditional")
      << QList<int>{LANGUAGE_ENGLISH, LANGUAGE_TRADITIONAL} << 1 << 1 << "    N0";
  QTest::newRow("Traditional") << QList<int>{LANGUAGE_TRADITIONAL} << 1 << 0 << "    N0";
  QTest::newRow("English, Simplified")
      << QList<int>{LANGUAGE_ENGLISH, LANGUAGE_SIMPLIFIED} << 0 << 0 << "    帧数";
}

// Every listed caption shows the last language that sets it; a caption no
// switch has set keeps what the window showed at the start.
void WindowLanguageTest::switchesSetTheirColumnAndLeaveDashesAlone() {
  QFETCH(QList<int>, presses);
  QFETCH(int, textVariant);
  QFETCH(int, savedLanguage);
  QFETCH(QString, corner);
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  QString expected[kCaptionRowCount];
  for (int i = 0; i < kCaptionRowCount; ++i) expected[i] = Caption(form, kCaptionRows[i].control);
  for (int language : presses) {
    (form.*kSwitches[language])();
    for (int i = 0; i < kCaptionRowCount; ++i) {
      if (const char* caption = kCaptionRows[i].caption[language])
        expected[i] = QString::fromUtf8(caption);
    }
  }
  for (int i = 0; i < kCaptionRowCount; ++i)
    QCOMPARE(Caption(form, kCaptionRows[i].control), expected[i]);
  QCOMPARE(form.languageMode.textVariant, textVariant);
  QCOMPARE(form.languageMode.savedLanguage, savedLanguage);
  QCOMPARE(Corner(form), corner);
}

void WindowLanguageTest::switchMakesAreaOneCurrentAndKeepsTheAreaControls() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 5);  // areas and a controller count
  ui.TabControl1->setCurrentIndex(3);
  form.ShowArea();
  ui.Edit6->setText(QStringLiteral("7"));  // area 4's loop count
  form.store.Cell(3, kHeaderRows, 2) = 77;
  fixture.ui().BitBtn13->click();
  QCOMPARE(form.store.currentArea, 0);
  QCOMPARE(ui.TabControl1->currentIndex(), 0);
  QCOMPARE(ui.Edit6->text(), QStringLiteral("7"));
  QCOMPARE(form.store.Cell(3, kHeaderRows, 2), 77);
  form.ShowArea();  // area 1 has a loop count of its own
  QVERIFY(ui.Edit6->text() != QStringLiteral("7"));
}

void WindowLanguageTest::controllerCountThatIsNoNumberFailsAfterTheCaptions() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 5);
  {
    const QSignalBlocker quiet(ui.ComboBox4);
    ui.ComboBox4->setEditText(QStringLiteral("x"));
  }
  fixture.messages.clear();
  ui.BitBtn13->click();
  QCOMPARE(fixture.messages.size(), 1);
  QCOMPARE(ui.BitBtn1->text(), QStringLiteral("preview"));
  QCOMPARE(form.languageMode.textVariant, 1);
  QCOMPARE(form.store.currentArea, 0);
}

void WindowLanguageTest::restartComesUpInTheSavedLanguage_data() {
  QTest::addColumn<QList<int>>("presses");
  QTest::addColumn<QString>("preview");
  QTest::addColumn<QByteArray>("key");
  QTest::newRow("Simplified, Traditional") << QList<int>{LANGUAGE_SIMPLIFIED, LANGUAGE_TRADITIONAL}
                                           << "预览" << QByteArray("Languages=0");
  QTest::newRow("English") << QList<int>{LANGUAGE_ENGLISH} << "preview"
                           << QByteArray("Languages=1");
  QTest::newRow("English, Traditional") << QList<int>{LANGUAGE_ENGLISH, LANGUAGE_TRADITIONAL}
                                        << "preview" << QByteArray("Languages=1");
}

void WindowLanguageTest::restartComesUpInTheSavedLanguage() {
  QFETCH(QList<int>, presses);
  QFETCH(QString, preview);
  QFETCH(QByteArray, key);
  WindowFixture fixture;
  TForm2& first = fixture.Start();
  for (int language : presses) (first.*kSwitches[language])();
  fixture.Close();
  QVERIFY(fixture.ReadFile("Config.ini").contains(key));
  TForm2& form = fixture.Start();
  QCOMPARE(fixture.ui().BitBtn1->text(), preview);
  QCOMPARE(form.languageMode.textVariant, preview == QStringLiteral("preview") ? 1 : 0);
}

QTEST_MAIN(WindowLanguageTest)
#include "window_language_test.moc"
