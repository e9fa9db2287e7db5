// The control registry against the form: every name the registry, the
// control-state table, the caption table and the Config.ini key table use is
// a control of Mianc.ui or one the window makes in code, the started window
// resolves every registered name to a control of its kind, and a window that
// lacks controls is told by their names.
#include "model/control_registry.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSet>
#include <QTimer>
#include <QXmlStreamReader>

#include "control_lookup.h"
#include "files/config_keys.h"
#include "model/control_states.h"
#include "ui/captions.h"
#include "window_fixture.h"

using namespace vqled;

namespace {

// The controls the window makes in code, beside those of the form file.
const char* const kMadeInCode[] = {"Form2",
                                   "StringGrid1",
                                   "RightMenu",
                                   "N1",
                                   "N2",
                                   "N3",
                                   "N4",
                                   "N5",
                                   "N6",
                                   "N7",
                                   "N8",
                                   "N9",
                                   "N10",
                                   "Window1",
                                   "NewWindow1",
                                   "ile1",
                                   "Timer1",
                                   "Timer3",
                                   "Timer5",
                                   "DataTime",
                                   "UndoItem",
                                   "RedoItem",
                                   "BitBtnFind",
                                   "PreviewWindowBtn",
                                   "ZoomIn1",
                                   "ZoomOut1",
                                   "ZoomReset1",
                                   "FitArea1",
                                   "FitSelection1",
                                   "TableBtn",
                                   "TableCsvOut",
                                   "TableCsvIn",
                                   "TablePngOut",
                                   "TablePngIn"};

// The object names of the form file's widgets and actions.
QSet<QString> FormNames() {
  QFile file(QStringLiteral(VQLED_FORM_FILE));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QSet<QString> names;
  QXmlStreamReader xml(&file);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("widget") || xml.name() == QLatin1String("action")) {
      names.insert(xml.attributes().value(QLatin1String("name")).toString());
    }
  }
  return names;
}

bool IsVariable(const char* name) {
  const int i = ControlIndex(name);
  return i >= 0 && kControls[i].kind == CONTROL_VARIABLE;
}

// Adds name to unknown where it is neither in known nor a registered variable.
void Check(const char* table, const char* name, const QSet<QString>& known, QStringList& unknown) {
  if (IsVariable(name) || known.contains(QString::fromLatin1(name))) return;
  unknown << QStringLiteral("%1: %2").arg(QString::fromLatin1(table), QString::fromLatin1(name));
}

}  // namespace

class ControlRegistryTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryNameIsAControlOfTheWindow() {
    QSet<QString> known = FormNames();
    QVERIFY2(known.contains(QStringLiteral("BitBtn7")), "the form file could not be read");
    for (const char* name : kMadeInCode) known.insert(QString::fromLatin1(name));

    QStringList unknown;
    for (const ControlEntry& entry : kControls) Check("registry", entry.name, known, unknown);
    for (int model = -1; model < 29; ++model) {
      for (const ControlSetting& setting : ResolveControlStates(model)) {
        Check("control states", setting.control, known, unknown);
      }
    }
    for (const CaptionRow& row : kCaptionRows) Check("captions", row.control, known, unknown);
    for (const ConfigKey& key : kConfigKeys) Check("Config.ini keys", key.control, known, unknown);
    unknown.removeDuplicates();
    QVERIFY2(unknown.isEmpty(), qPrintable(unknown.join(QStringLiteral(", "))));
  }

  void TheWindowResolvesEveryRegisteredControlByItsKind() {
    WindowFixture fixture;
    TForm2& form = fixture.Start();
    ControlLookup lookup;
    const QStringList missing = lookup.Resolve(form);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));

    QStringList wrongKind;
    for (const ControlEntry& entry : kControls) {
      if (entry.kind == CONTROL_VARIABLE) continue;
      QObject* control = lookup.Find(entry.name);
      const bool fits = entry.kind == CONTROL_WINDOW ? control == &form
                        : entry.kind == CONTROL_MENU_ITEM
                            ? qobject_cast<QAction*>(control) != nullptr
                        : entry.kind == CONTROL_TIMER ? qobject_cast<QTimer*>(control) != nullptr
                                                      : control->isWidgetType();
      if (!fits) wrongKind << QString::fromLatin1(entry.name);
    }
    QVERIFY2(wrongKind.isEmpty(), qPrintable(wrongKind.join(QStringLiteral(", "))));
    // Every Config.ini key but the saved language feeds a list.
    for (const ConfigKey& key : kConfigKeys) {
      if (!IsVariable(key.control)) QVERIFY2(lookup.List(key.control) != nullptr, key.control);
    }
  }

  void AWindowLackingControlsIsToldTheirNames() {
    QWidget window;
    window.setObjectName(QStringLiteral("Form2"));
    auto* send = new QWidget(&window);
    send->setObjectName(QStringLiteral("BitBtn7"));
    auto* menu = new QMenu(&window);
    menu->addAction(QString())->setObjectName(QStringLiteral("N7"));

    ControlLookup lookup;
    const QStringList missing = lookup.Resolve(window);
    QVERIFY(missing.contains(QStringLiteral("BitBtn5")));
    QVERIFY(missing.contains(QStringLiteral("N8")));
    QVERIFY(missing.contains(QStringLiteral("Timer1")));
    QVERIFY(!missing.contains(QStringLiteral("BitBtn7")));
    QVERIFY(!missing.contains(QStringLiteral("N7")));
    QVERIFY(!missing.contains(QStringLiteral("Form2")));
    QVERIFY(!missing.contains(QStringLiteral("savedLanguage")));
    QCOMPARE(lookup.Find("BitBtn7"), send);

    const QString message =
        MissingControlsMessage({QStringLiteral("BitBtn5"), QStringLiteral("N8")});
    QVERIFY(message.contains(QStringLiteral("窗口中没有名为 BitBtn5, N8 的控件")));
    QVERIFY(message.contains(QStringLiteral("the window has no control named BitBtn5, N8")));
  }
};

QTEST_MAIN(ControlRegistryTest)
#include "control_registry_test.moc"
