// Takes the pictures of the user guide: starts the editor window in a
// scratch directory (no Config.ini or tempRGB.bin of the user is read or
// written), stages each scene through the window's own handlers and pointer
// events, and writes a picture of the window per scene to <dir>/<scene>.png.
// Popups (the model list, the grid's menu) are separate windows; they are
// painted over the window's picture where they stand on the screen.
//   vqled-pictures [DIR]      DIR defaults to docs
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "Mianc.h"
#include "application.h"
#include "file_dialog.h"
#include "message_box.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {
namespace {

constexpr int kModelVQM13 = 13;  // brightness cells, 16 channels, several areas
constexpr int kModelVQM28 = 28;  // trigger inputs: the settings panel
constexpr int kDownloadTimeoutMs = 60000;

class Pictures {
 public:
  explicit Pictures(const QString& dir) : dir_(dir) {}

  int Run() {
    form_.show();
    if (!QTest::qWaitForWindowExposed(&form_)) return Fail("the window was never shown");
    ModelScene();
    RunDialogScene();
    EditingScene();
    MenuScene();
    KeysScene();
    SecondArea();
    SaveExample();
    if (!DownloadScene()) return Fail("the download to the virtual controller did not finish");
    DebugScene();
    SettingsScene();
    form_.close();
    return failed_ ? 1 : 0;
  }

  // A message box during staging means the scene is not what the guide shows.
  void Message(const QString& caption, const QString& text) {
    std::fprintf(stderr, "pictures: message \"%s\": %s\n", qUtf8Printable(caption),
                 qUtf8Printable(text));
    failed_ = true;
  }

 private:
  Ui::TForm2& ui() { return *form_.form(); }

  int Fail(const char* reason) {
    std::fprintf(stderr, "pictures: %s\n", reason);
    failed_ = true;
    return 1;
  }

  // The window, with every popup shown over it at its place on the screen.
  void Save(const char* scene, std::initializer_list<QWidget*> popups = {}) {
    QCoreApplication::processEvents();
    QPixmap picture = form_.grab();
    QPainter painter(&picture);
    for (QWidget* popup : popups)
      painter.drawPixmap(form_.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    painter.end();
    const QString path = QDir(dir_).filePath(QString::fromLatin1(scene) + ".png");
    if (!picture.save(path)) {
      std::fprintf(stderr, "pictures: cannot write %s\n", qUtf8Printable(path));
      failed_ = true;
      return;
    }
    std::printf("pictures: wrote %s\n", qUtf8Printable(path));
  }

  QPoint CellCentre(int column, int row) const {
    return form_.grid()->cellRect(column, row).center();
  }
  void Click(Qt::MouseButton button, int column, int row) {
    QTest::mouseClick(form_.grid()->viewport(), button, {}, CellCentre(column, row));
  }
  void Trigger(const char* item) {
    form_.rightMenu()->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    form_.rightMenu()->hide();
  }
  static void Retype(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
  }

  void SelectModel(int model) {
    ui().ComboBox6->setCurrentIndex(model);
    form_.ComboBox6Change();
  }

  // The model list open, VQ-M13 about to be chosen.
  void ModelScene() {
    QComboBox* models = ui().ComboBox6;
    SelectModel(kModelVQM13);
    models->showPopup();
    Save("model", {models->view()->window()});
    models->hidePopup();
  }

  // "流水" from frame 1, channel 1: a light running down the 16 channels.
  void RunDialogScene() {
    Click(Qt::RightButton, 2, 3);
    Trigger("ile1");
    Retype(ui().Edit3, "16");
    Retype(ui().Edit5, "16");
    Retype(ui().Edit11, "255");
    Save("run");
    ui().Button8->click();
  }

  // Single clicks, a typed value, and the two ramps of the menu.
  void EditingScene() {
    for (int row = 3; row < 19; row += 3) Click(Qt::LeftButton, 20, row);
    ui().ComboBox1->setCurrentText(QStringLiteral("32"));
    Click(Qt::RightButton, 23, 3);
    Trigger("N7");  // frame 22 down the channels
    Click(Qt::RightButton, 25, 10);
    Trigger("N8");  // channel 8 along the frames
    Save("editing");
  }

  // Area 2 gets a ramp along channel 1, so that a download of all areas
  // sends more than one.
  void SecondArea() {
    ui().TabControl1->setCurrentIndex(1);
    Click(Qt::RightButton, 2, 3);
    Trigger("N8");
    ui().TabControl1->setCurrentIndex(0);
  }

  // "全部区保存" of the staged areas as <dir>/example.Aled, the file the
  // guide's command lines use.
  void SaveExample() {
    const QString path = QDir(dir_).filePath(QStringLiteral("example.Aled"));
    QFile::remove(path);
    SetFileDialogHook([path](QWidget*, const FileDialogRequest&) { return path; });
    form_.BitBtn6Click();
    SetFileDialogHook({});
    if (!QFile::exists(path)) Fail("the example pattern file was not saved");
  }

  void MenuScene() {
    Click(Qt::RightButton, 8, 8);
    Save("menu", {form_.rightMenu()});
    form_.rightMenu()->hide();
  }

  // The keyboard: the cursor moved by the arrows from the cell the menu was
  // opened on, a rectangle selected with Shift, and the menu with the step to
  // undo and the keys of the commands.
  void KeysScene() {
    QWidget* grid = form_.grid();
    grid->setFocus();
    for (int i = 0; i < 3; ++i) QTest::keyClick(grid, Qt::Key_Right);
    for (int i = 0; i < 4; ++i) QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    for (int i = 0; i < 3; ++i) QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    form_.rightMenu()->popup(grid->mapToGlobal(form_.grid()->cellRect(15, 12).center()));
    Save("keys", {form_.rightMenu()});
    form_.rightMenu()->hide();
  }

  // "设置" of a model with trigger inputs opens the controller settings.
  void SettingsScene() {
    ui().CheckBox7->setChecked(false);
    form_.CheckBox7Click();
    SelectModel(kModelVQM28);
    if (!ui().BitBtn15->isEnabled()) {
      Fail("the settings button of VQ-M28 is disabled");
      return;
    }
    ui().BitBtn15->click();
    Save("settings");
  }

  // "全区发送" to the built-in virtual controller; the picture is taken half
  // way, with the link lamp, the progress and the area-of-areas label.
  bool DownloadScene() {
    QComboBox* ports = ui().ComboBox5;
    ports->setCurrentIndex(ports->findData(QStringLiteral("virtual")));
    ui().BitBtn5->click();
    const QString done = QStringLiteral("Send OK !!!!");
    bool taken = false;
    QElapsedTimer clock;
    clock.start();
    while (ui().Label13->text() != done) {
      if (clock.elapsed() > kDownloadTimeoutMs) return false;
      if (!taken && ui().cxProgressBar1->value() >= 40) {
        Save("download");
        taken = true;
      }
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    if (!taken) Save("download");
    return true;
  }

  // The debug panel after the download: Memo1's log and the clock.
  void DebugScene() {
    ui().CheckBox7->setChecked(true);
    form_.CheckBox7Click();
    form_.DataTimeTimer();
    Save("debug");
  }

  QString dir_;
  TForm2 form_;
  bool failed_ = false;
};

}  // namespace
}  // namespace vqled

int main(int argc, char** argv) {
  vqled::Application app(argc, argv);
  const QString dir =
      QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs")).absolutePath();
  if (!QDir().mkpath(dir)) {
    std::fprintf(stderr, "pictures: cannot make %s\n", qUtf8Printable(dir));
    return 1;
  }
  QTemporaryDir scratch;
  if (!scratch.isValid() || !QDir::setCurrent(scratch.path())) {
    std::fprintf(stderr, "pictures: no scratch directory\n");
    return 1;
  }
  std::function<void(const QString&, const QString&)> report;
  vqled::SetMessageHook([&report](QWidget*, const QString& caption, const QString& text,
                                  vqled::MessageIcon) { report(caption, text); });
  vqled::Pictures pictures(dir);
  report = [&pictures](const QString& caption, const QString& text) {
    pictures.Message(caption, text);
  };
  const int status = pictures.Run();
  vqled::SetMessageHook({});
  QDir::setCurrent(QDir::tempPath());
  return status;
}
