// The controller settings panel GroupBox10 and the debug panel GroupBox1 on
// the window: the settings image a controller receives from the panel's
// lists, the release rule (also after a restart), the day count check of
// the end date, and the controller-type frame of GroupBox7.
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <chrono>

#include "model/model_catalogue.h"
#include "sim/sim_controller.h"
#include "sim/sim_options.h"
#include "window_fixture.h"

using namespace vqled;
using namespace std::chrono_literals;

namespace {

QComboBox* RowList(TForm2& form, char column, int row) {
  return form.findChild<QComboBox*>(QStringLiteral("ComBox%1%2").arg(QChar(column)).arg(row));
}

// A virtual controller of the window's model on a pseudo-terminal, selected
// in the port list.
struct Controller {
  explicit Controller(TForm2& form, int model) : sim(Options(model)) {
    form.form()->ComboBox5->setEditText(QString::fromStdString(sim.Start()));
  }
  static SimOptions Options(int model) {
    SimOptions options;
    options.profile = CatalogueProfile(model);
    return options;
  }
  SimController sim;
};

// The settings image the virtual controller stored; empty while it has none
// or only part of one.
QByteArray StoredSettings(Controller& controller) {
  const std::optional<SimImage> settings = controller.sim.Received().settings;
  if (!settings.has_value() || !settings->complete) return {};
  return QByteArray(reinterpret_cast<const char*>(settings->bytes.data()),
                    static_cast<qsizetype>(settings->bytes.size()));
}

}  // namespace

class WindowSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void panelListsCarryTheirItems_data();
  void panelListsCarryTheirItems();
  void settingsImageFromThePanelsLists_data();
  void settingsImageFromThePanelsLists();
  void settingsImageFromConfigIni_data();
  void settingsImageFromConfigIni();
  void releaseRuleFollowsTheTriggerCondition();
  void releaseRuleRunsAtStartUp();
  void dayCountDecidesWhetherTheEndDateIsSent();
  void controllerTypeFrame_data();
  void controllerTypeFrame();
};

void WindowSettingsTest::panelListsCarryTheirItems_data() {
  QTest::addColumn<QString>("list");
  QTest::addColumn<int>("count");
  QTest::addColumn<QString>("item3");
  QTest::addColumn<QString>("last");
  for (int row = 1; row <= 6; ++row) {
    const QString n = QString::number(row);
    QTest::addRow("A%d", row) << "ComBoxA" + n << 4 << "按键模式(先闭后断)"
                              << "按键模式(先闭后断)";
    QTest::addRow("B%d", row) << "ComBoxB" + n << 12 << "启动4区"
                              << "灯光不变";
    QTest::addRow("C%d", row) << "ComBoxC" + n << (row == 1 ? 17 : 16) << "播放003.mp3"
                              << (row == 1 ? "" : "播放上一曲");
    QTest::addRow("D%d", row) << "ComBoxD" + n << 4 << "音乐重复播放"
                              << "音乐重复播放";
    QTest::addRow("E%d", row) << "ComBoxE" + n << 6 << "停止所有"
                              << "灯光停后音乐停";
  }
  QTest::newRow("AA") << "ComboBoxAA" << 12 << "启动3区"
                      << "关闭灯光";
  QTest::newRow("AB") << "ComboBoxAB" << 12 << "播放'01\\003.mp3'"
                      << "播放'02'目录所有音乐";
  QTest::newRow("AC") << "ComboBoxAC" << 32 << "4"
                      << "32";
  QTest::newRow("14") << "ComboBox14" << 3 << ""
                      << "";
}

// Item 3 and the last item of every list (ComBoxC1 and ComboBox14 end with
// an empty item).
void WindowSettingsTest::panelListsCarryTheirItems() {
  QFETCH(QString, list);
  QFETCH(int, count);
  QFETCH(QString, item3);
  QFETCH(QString, last);
  WindowFixture fixture;
  auto* box = fixture.Start().findChild<QComboBox*>(list);
  QVERIFY(box != nullptr);
  QCOMPARE(box->count(), count);
  QCOMPARE(box->itemText(qMin(3, count - 1)), item3);
  QCOMPARE(box->itemText(count - 1), last);
}

// Rows of AA AB AC 14 and then, per trigger row, A B C D E; -1 leaves the list
// with nothing selected.
void WindowSettingsTest::settingsImageFromThePanelsLists_data() {
  QTest::addColumn<QList<int>>("lists");
  QTest::addColumn<QByteArray>("expected");
  QList<int> untouched(4 + 30, -1);
  QTest::newRow("untouched") << untouched
                             << QByteArray::fromHex(
                                    "AB FFFFFFFF"
                                    "0000000000 0000000000 0000000000"
                                    "0000000000 0000000000 0000000000"
                                    "0000000000");
  QList<int> chosen = {11, 11, 31, 2, 1, 10, 16, 3, 5, 2, 11, 15, 0, 1, 2, 0, 0,
                       1,  4,  0,  9, 1, 2,  3,  0, 0, 0, 0,  0,  0, 1, 2, 3, 4};
  QTest::newRow("chosen") << chosen
                          << QByteArray::fromHex(
                                 "AB 0B0B1F02"
                                 "010A100305 020B0F0001 0200000104"
                                 "0009010203 0000000000 0001020304"
                                 "0000000000");
}

void WindowSettingsTest::settingsImageFromThePanelsLists() {
  QFETCH(QList<int>, lists);
  QFETCH(QByteArray, expected);
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, kModelVQM28);
  QVERIFY(ui.BitBtn15->isEnabled());
  QComboBox* const globals[] = {ui.ComboBoxAA, ui.ComboBoxAB, ui.ComboBoxAC, ui.ComboBox14};
  for (int i = 0; i < 4; ++i) globals[i]->setCurrentIndex(lists[i]);
  for (int row = 1; row <= 6; ++row) {
    for (int list = 0; list < 5; ++list)
      RowList(form, "ABCDE"[list], row)->setCurrentIndex(lists[4 + 5 * (row - 1) + list]);
  }
  Controller controller(form, kModelVQM28);
  ui.Button5->click();
  // While it runs only the download button and the port list are held.
  QVERIFY(!ui.BitBtn7->isEnabled() && !ui.ComboBox5->isEnabled());
  QVERIFY(ui.GroupBox5->isEnabled() && ui.GroupBox3->isEnabled() && form.grid()->isEnabled());
  QTRY_VERIFY_WITH_TIMEOUT(controller.sim.Stats().transactionsEnded >= 1, 10000);
  QCOMPARE(StoredSettings(controller), expected);
  // The defaulted rows show item 0 and were saved so.
  QCOMPARE(RowList(form, 'E', 6)->currentIndex(), qMax(0, lists[33]));
  QVERIFY(
      fixture.ReadFile("Config.ini").contains("GroupE6=" + QByteArray::number(qMax(0, lists[33]))));
  QTRY_VERIFY_WITH_TIMEOUT(ui.BitBtn7->isEnabled() && ui.ComboBox5->isEnabled(), 5000);
}

// The SETGroup keys of a Config.ini as the lists take them at start-up: an
// index outside a list's items selects nothing, and a key-mode row's release
// list is reset by the release rule (vqled-cli sends the same bytes).
void WindowSettingsTest::settingsImageFromConfigIni_data() {
  QTest::addColumn<QByteArray>("setGroup");
  QTest::addColumn<QByteArray>("expected");
  QTest::newRow("key mode") << QByteArray("GroupA3=3\nGroupE3=3\n")
                            << QByteArray::fromHex(
                                   "AB 00000000"
                                   "0000000000 0000000000 0300000000"
                                   "0000000000 0000000000 0000000000"
                                   "0000000000");
  QTest::newRow("outside the lists") << QByteArray("CheckBoAC=99\nGroupB1=50\n")
                                     << QByteArray::fromHex(
                                            "AB 0000FF00"
                                            "0000000000 0000000000 0000000000"
                                            "0000000000 0000000000 0000000000"
                                            "0000000000");
  QTest::newRow("list edges") << QByteArray(
                                     "CheckBoAA=11\nCheckBoAB=12\nComboBox14=-1\nGroupC1=16\n"
                                     "GroupC2=16\nGroupD4=-7\nGroupE6=5\n")
                              << QByteArray::fromHex(
                                     "AB 0BFF00FF"
                                     "0000100000 0000000000 0000000000"
                                     "0000000000 0000000000 0000000005"
                                     "0000000000");
}

void WindowSettingsTest::settingsImageFromConfigIni() {
  QFETCH(QByteArray, setGroup);
  QFETCH(QByteArray, expected);
  WindowFixture fixture;
  fixture.WriteFile("Config.ini", "[Config]\nHYTYPE=28\n[SETGroup]\n" + setGroup);
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  QCOMPARE(ui.ComboBox6->currentIndex(), kModelVQM28);
  Controller controller(form, kModelVQM28);
  QTest::mouseClick(ui.BitBtn15, Qt::LeftButton);
  QVERIFY(ui.GroupBox10->isVisible());
  QTest::mouseClick(ui.Button5, Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(controller.sim.Stats().transactionsEnded >= 1, 10000);
  QCOMPARE(StoredSettings(controller), expected);
  QTRY_VERIFY_WITH_TIMEOUT(ui.BitBtn7->isEnabled() && ui.ComboBox5->isEnabled(), 5000);
}

void WindowSettingsTest::releaseRuleFollowsTheTriggerCondition() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  QComboBox* condition = RowList(form, 'A', 3);
  QComboBox* release = RowList(form, 'E', 3);
  release->setCurrentIndex(2);
  condition->setCurrentIndex(3);  // "按键模式(先闭后断)"
  emit condition->activated(3);
  QCOMPARE(release->currentText(), QStringLiteral("继续并忽略"));
  QVERIFY(!release->isEnabled());
  QVERIFY(RowList(form, 'E', 2)->isEnabled() && RowList(form, 'E', 4)->isEnabled());
  release->setCurrentIndex(4);  // kept when the row leaves the key mode
  condition->setCurrentIndex(1);
  emit condition->activated(1);
  QVERIFY(release->isEnabled());
  QCOMPARE(release->currentIndex(), 4);
  // "全部不启用" gives every row "不启用" and its release list back.
  condition->setCurrentIndex(3);
  emit condition->activated(3);
  fixture.ui().Button11->click();
  for (int row = 1; row <= 6; ++row) {
    QCOMPARE(RowList(form, 'A', row)->currentIndex(), 0);
    QVERIFY(RowList(form, 'E', row)->isEnabled());
  }
}

void WindowSettingsTest::releaseRuleRunsAtStartUp() {
  WindowFixture fixture;
  TForm2& first = fixture.Start();
  RowList(first, 'A', 5)->setCurrentIndex(3);
  RowList(first, 'E', 5)->setCurrentIndex(5);
  fixture.Close();
  TForm2& form = fixture.Start();
  QCOMPARE(RowList(form, 'A', 5)->currentIndex(), 3);
  QCOMPARE(RowList(form, 'E', 5)->currentIndex(), 0);
  QVERIFY(!RowList(form, 'E', 5)->isEnabled());
}

// The day count comes from DataTime's handler; an end date of today may be
// sent (the missing port is then reported), yesterday is refused.
void WindowSettingsTest::dayCountDecidesWhetherTheEndDateIsSent() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  QCOMPARE(ui.Label138->text(), QStringLiteral("00"));
  QCOMPARE(ui.DateTimePicker1->date(), QDate::currentDate());
  QTimer* clock = form.findChild<QTimer*>(QStringLiteral("DataTime"));
  QVERIFY(!clock->isActive());
  ui.CheckBox7->setChecked(true);
  QVERIFY(ui.GroupBox1->isVisible());
  QVERIFY(clock->isActive());
  QCOMPARE(clock->interval(), 1000);
  ui.ComboBox5->setEditText(fixture.Path("no-such-tty"));
  struct Case {
    int daysFromToday;
    const char* count;
    bool refused;
  };
  for (const Case& c : {Case{0, "0", false}, Case{-1, "-1", true}, Case{12, "12", false}}) {
    fixture.messages.clear();
    ui.DateTimePicker1->setDate(QDate::currentDate().addDays(c.daysFromToday));
    form.DataTimeTimer();
    QCOMPARE(ui.Label138->text(), QString::fromLatin1(c.count));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                .match(ui.Label137->text())
                .hasMatch());
    ui.BitBtn19->click();
    QTRY_VERIFY_WITH_TIMEOUT(!fixture.messages.isEmpty(), 5000);
    const bool refused =
        fixture.messages[0].text == QStringLiteral("间隔天数小于0天不符合大于等于0天的要求！");
    QCOMPARE(refused, c.refused);
    if (refused) QCOMPARE(fixture.messages[0].caption, QStringLiteral("error"));
    QTRY_VERIFY_WITH_TIMEOUT(ui.BitBtn7->isEnabled(), 5000);
  }
}

void WindowSettingsTest::controllerTypeFrame_data() {
  QTest::addColumn<bool>("carController");
  QTest::addColumn<QString>("frame");
  QTest::newRow("车灯控制器") << true << QStringLiteral("AA CC 05 AA BB CC DD FF 55");
  QTest::newRow("普通控制器") << false << QStringLiteral("AA CC 05 AA BB CC DD EE 55");
}

void WindowSettingsTest::controllerTypeFrame() {
  QFETCH(bool, carController);
  QFETCH(QString, frame);
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 13);
  QVERIFY(ui.GroupBox7->isVisible());
  QVERIFY(ui.RadioButton6->isChecked());
  if (carController) ui.RadioButton5->setChecked(true);
  Controller controller(form, 13);
  ui.BitBtn16->click();
  QCOMPARE(ui.Label13->text(), QStringLiteral("setup send ok "));
  QCOMPARE(ui.Shape1->brushColor(), QColor(Qt::white));
  QTRY_VERIFY_WITH_TIMEOUT(controller.sim.Stats().controllerTypes >= 1, 5000);
  QCOMPARE(controller.sim.Received().controllerType, carController ? 0xFF : 0xEE);
  bool seen = false;
  for (const SimLogEntry& entry : controller.sim.FrameLog())
    seen = seen || (entry.direction == LOG_FROM_HOST && entry.text == frame.toStdString());
  QVERIFY(seen);
}

QTEST_MAIN(WindowSettingsTest)
#include "window_settings_test.moc"
