// The three language switches on the window: the captions each sets and
// those a dash leaves alone, the language mode, the grid's corner, the model
// applied again, the language a restart comes up in, and that every caption
// is drawn whole in each language and every control can be reached at the
// window's minimum size.
#include <QAbstractButton>
#include <QAction>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
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
  if (auto* item = form.findChild<QAction*>(name)) return item->text();
  if (auto* label = form.findChild<QLabel*>(name)) return label->text();
  if (auto* button = form.findChild<QAbstractButton*>(name)) return button->text();
  if (auto* group = form.findChild<QGroupBox*>(name)) return group->title();
  return QStringLiteral("<no control %1>").arg(name);
}

QString Corner(TForm2& form) {
  const CellPaint paint = PaintCell(form.document().store(), form.document().profile(),
                                    form.languageMode.textVariant, 0, 0);
  return QString::fromStdString(paint.texts[paint.textCount - 1].text);
}

// The caption a control draws, or an empty text for controls without one.
QString DrawnCaption(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  return QString();
}

// The width a control needs to draw its caption whole. A push button
// centres its caption between the style's frame and margins; the style's
// own size hint adds a minimum width that small buttons such as "中" never
// need. Labels, check and radio buttons and group boxes size to their text.
int NeededWidth(const QWidget* widget) {
  if (auto* button = qobject_cast<const QPushButton*>(widget)) {
    const QStyle* style = button->style();
    return button->fontMetrics().horizontalAdvance(button->text()) +
           style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
  }
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->minimumSizeHint().width();
  return widget->sizeHint().width();
}

// The form's own controls: named in the form, not the toolkit's inner parts.
QList<QWidget*> FormControls(TForm2& form) {
  QList<QWidget*> controls;
  for (QWidget* widget : form.findChildren<QWidget*>()) {
    const QString name = widget->objectName();
    if (!name.isEmpty() && !name.startsWith(QStringLiteral("qt_"))) controls.append(widget);
  }
  return controls;
}

// Controls that draw a caption, shown or not (a control the model hides
// shows its caption under another model). A label that wraps its lines
// (the status line) needs the height its lines take at its width.
QStringList ClippedCaptions(TForm2& form) {
  QStringList clipped;
  for (QWidget* control : FormControls(form)) {
    const QString caption = DrawnCaption(control);
    if (caption.isEmpty()) continue;
    const auto* label = qobject_cast<const QLabel*>(control);
    const bool wraps = label != nullptr && label->wordWrap();
    const QSize has = control->size();
    const QSize needs(wraps ? has.width() : NeededWidth(control),
                      wraps ? label->heightForWidth(has.width()) : has.height());
    if (needs.width() > has.width() || needs.height() > has.height()) {
      clipped.append(QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                         .arg(control->objectName(), caption)
                         .arg(needs.width())
                         .arg(needs.height())
                         .arg(has.width())
                         .arg(has.height()));
    }
  }
  return clipped;
}

// A box in a widget's parent, in the form's coordinates, cut to what its
// parents show (the preview strip hides the lamps below its own height).
QRect InForm(TForm2& form, const QWidget* widget, const QRect& box) {
  QRect shown(widget->parentWidget()->mapTo(&form, box.topLeft()), box.size());
  for (const QWidget* parent = widget->parentWidget(); parent != &form;
       parent = parent->parentWidget())
    shown &= QRect(parent->mapTo(&form, QPoint(0, 0)), parent->size());
  return shown;
}

// Shown captioned controls whose caption another shown control covers:
// the caption's own stretch (the whole button; the text's width from the
// left for the others) meets a shown control that is no container of it.
QStringList CoveredCaptions(TForm2& form) {
  const QList<QWidget*> controls = FormControls(form);
  QList<const QWidget*> containers;
  for (const QWidget* control : controls) containers.append(control->parentWidget());
  QList<QWidget*> shown;
  for (QWidget* control : controls) {
    if (control->isVisibleTo(&form) && !containers.contains(control)) shown.append(control);
  }
  QStringList covered;
  for (QWidget* control : shown) {
    if (DrawnCaption(control).isEmpty()) continue;
    QRect text = control->geometry();
    if (qobject_cast<QPushButton*>(control) == nullptr) text.setWidth(NeededWidth(control));
    const QRect drawn = InForm(form, control, text);
    for (QWidget* other : shown) {
      if (other != control && drawn.intersects(InForm(form, other, other->geometry())))
        covered.append(control->objectName() + QStringLiteral(" under ") + other->objectName());
    }
  }
  return covered;
}

// Shown controls that stick out of the window, or out of the right edge of
// their parent (a band narrower than its controls). The preview strip's
// second row of lamps lies below the strip by design.
QStringList ControlsOutside(TForm2& form) {
  QStringList outside;
  for (QWidget* control : FormControls(form)) {
    if (!control->isVisibleTo(&form)) continue;
    const QRect box = control->geometry();
    const QRect inForm(control->parentWidget()->mapTo(&form, box.topLeft()), box.size());
    if (!form.rect().contains(inForm) || box.right() >= control->parentWidget()->width()) {
      outside.append(QStringLiteral("%1 at %2,%3 %4x%5 in %6 %7x%8")
                         .arg(control->objectName())
                         .arg(box.x())
                         .arg(box.y())
                         .arg(box.width())
                         .arg(box.height())
                         .arg(control->parentWidget()->objectName())
                         .arg(control->parentWidget()->width())
                         .arg(control->parentWidget()->height()));
    }
  }
  return outside;
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
  void chineseCaptionsHaveAFont();
  void captionsFitInEveryLanguageAndModel_data();
  void captionsFitInEveryLanguageAndModel();
  void everyControlLiesInTheWindowAtTheMinimumSize();
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
  form.document().store().Cell(3, kHeaderRows, 2) = 77;
  fixture.ui().BitBtn13->click();
  QCOMPARE(form.document().store().currentArea, 0);
  QCOMPARE(ui.TabControl1->currentIndex(), 0);
  QCOMPARE(ui.Edit6->text(), QStringLiteral("7"));
  QCOMPARE(form.document().store().Cell(3, kHeaderRows, 2), 77);
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
  QCOMPARE(form.document().store().currentArea, 0);
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

// Without a font that holds Chinese glyphs the captions of two of the three
// languages are drawn as empty boxes.
void WindowLanguageTest::chineseCaptionsHaveAFont() {
  QVERIFY2(!QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty(),
           "no font with Simplified Chinese glyphs (fonts-wqy-microhei or fonts-noto-cjk)");
  QVERIFY2(!QFontDatabase::families(QFontDatabase::TraditionalChinese).isEmpty(),
           "no font with Traditional Chinese glyphs (fonts-wqy-microhei or fonts-noto-cjk)");
}

void WindowLanguageTest::captionsFitInEveryLanguageAndModel_data() {
  QTest::addColumn<QList<int>>("presses");
  QTest::newRow("Simplified") << QList<int>{LANGUAGE_SIMPLIFIED};
  QTest::newRow("Traditional") << QList<int>{LANGUAGE_TRADITIONAL};
  QTest::newRow("English") << QList<int>{LANGUAGE_ENGLISH};
  // The dashed captions keep the English ones beside the Traditional ones.
  QTest::newRow("English, Traditional") << QList<int>{LANGUAGE_ENGLISH, LANGUAGE_TRADITIONAL};
}

// At the design size each caption fits its control, and no shown control
// covers one, whichever model decides which controls share a spot.
void WindowLanguageTest::captionsFitInEveryLanguageAndModel() {
  QFETCH(QList<int>, presses);
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  QCOMPARE(form.size(), QSize(943, 669));
  QPushButton* const buttons[3] = {fixture.ui().BitBtn12, fixture.ui().BitBtn11,
                                   fixture.ui().BitBtn13};
  for (int language : presses) QTest::mouseClick(buttons[language], Qt::LeftButton);
  // First as the switch leaves the window (the status line greets), then
  // under every model.
  for (int model = -1; model < kModelCount; ++model) {
    if (model >= 0) SelectModel(form, model);
    const QString where = QStringLiteral("model %1: ").arg(model);
    const QStringList clipped = ClippedCaptions(form);
    QVERIFY2(clipped.isEmpty(), qPrintable(where + clipped.join(QStringLiteral("; "))));
    const QStringList covered = CoveredCaptions(form);
    QVERIFY2(covered.isEmpty(), qPrintable(where + covered.join(QStringLiteral("; "))));
  }
}

// The window cannot be made smaller than the size at which every control,
// the settings and debug panels included, lies inside it, whichever model
// decides which controls are shown; the design size is allowed.
void WindowLanguageTest::everyControlLiesInTheWindowAtTheMinimumSize() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  QVERIFY(form.minimumWidth() <= 943 && form.minimumHeight() <= 669);
  SelectModel(form, 28);  // trigger settings: the settings panel opens
  QTest::mouseClick(ui.BitBtn13, Qt::LeftButton);
  form.resize(1, 1);
  QCOMPARE(form.size(), form.minimumSize());
  QTest::mouseClick(ui.BitBtn15, Qt::LeftButton);
  QVERIFY(ui.GroupBox10->isVisible());
  QTest::mouseClick(ui.CheckBox7, Qt::LeftButton);
  QVERIFY(ui.GroupBox1->isVisible());
  QVERIFY(form.grid()->height() >= 100);
  for (int model = 0; model < kModelCount; ++model) {
    SelectModel(form, model);
    const QStringList outside = ControlsOutside(form);
    QVERIFY2(outside.isEmpty(), qPrintable(QStringLiteral("model %1: ").arg(model) +
                                           outside.join(QStringLiteral("; "))));
  }
}

QTEST_MAIN(WindowLanguageTest)
#include "window_language_test.moc"
