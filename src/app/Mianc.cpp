// TForm2: construction of the window, the start-up and close sequences, the
// anchors that let the grid take up every change of the window size.
#include "Mianc.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QMenu>
#include <QTimer>

#include "application.h"
#include "editor/commands.h"
#include "grid_keys.h"
#include "link/controller_link.h"
#include "link_panel.h"
#include "message_box.h"
#include "model/model_catalogue.h"
#include "number_filter.h"
#include "settings_panel.h"
#include "shape.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

// The items of RightMenu in their order; the last two belong to the
// template submenu Window1.
constexpr const char* kMenuItems[] = {"N1", "N2", "N3", "N5", "N4", "N6", "N8", "N7", "N9", "N10"};
constexpr const char* kTemplateItems[] = {"NewWindow1", "ile1"};

// The grid's least height: its three caption rows, a few channel rows and
// the horizontal scroll bar.
constexpr int kMinimumGridHeight = 120;

}  // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TForm2>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("Form2"));
  GroupRadioButtons();
  CreateGrid();
  CreateMenu();
  CreateZoomItems();
  CreatePanels();
  CreateTimers();
  CreateLink();
  AttachNumberFilters();
  AnchorControls();
  const TabCaptions& tabs = InitialTabCaptions();
  for (int i = 0; i < tabs.count; ++i)
    ui_->TabControl1->addTab(QString::fromUtf8(tabs.captions[i]));
  ConnectHandlers();
  ConnectEntry();
  keys_ = std::make_unique<GridKeys>(this, *ui_, StringGrid1, RightMenu, *entry_, document_);
  ConnectSettings();
  ConnectMenu();
  ConnectFiles();
  ConnectTableFiles();
  ConnectPreview();
  FormCreate();
  ConnectVirtual();
}

// The loop buttons and the controller-type buttons (inside the tab strip in
// the same band) are two exclusive sets of their own.
void TForm2::GroupRadioButtons() {
  QRadioButton* const sets[2][4] = {
      {ui_->RadioButton1, ui_->RadioButton2, ui_->RadioButton3, ui_->RadioButton4},
      {ui_->RadioButton5, ui_->RadioButton6, nullptr, nullptr}};
  for (QRadioButton* const* set : sets) {
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 4 && set[i] != nullptr; ++i) group->addButton(set[i]);
  }
}

TForm2::~TForm2() = default;

void TForm2::CreateGrid() {
  StringGrid1 = new StringGrid(this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setGeometry(8, 229, 927, 436);
  StringGrid1->setFont(QFont(QStringLiteral("Arial Narrow")));
  // A percent value the painter brings down joins the newest undo step.
  StringGrid1->UseCorePainter(document_.store(), document_.profile(), languageMode.textVariant,
                              [this](int row, int column, int32_t before) {
                                document_.FoldPaintedCell(row, column, before);
                              });
  StringGrid1->hide();
  StringGrid1->lower();
  ui_->HYEdit->raise();
  ui_->TimeComb->raise();
  ui_->TimeComb2->raise();
}

void TForm2::CreateMenu() {
  RightMenu = new QMenu(this);
  RightMenu->setObjectName(QStringLiteral("RightMenu"));
  for (const char* name : kMenuItems) {
    QAction* item = RightMenu->addAction(QString());
    item->setObjectName(QString::fromLatin1(name));
  }
  QMenu* templates = RightMenu->addMenu(QString());
  templates->menuAction()->setObjectName(QStringLiteral("Window1"));
  for (const char* name : kTemplateItems) {
    QAction* item = templates->addAction(QString());
    item->setObjectName(QString::fromLatin1(name));
  }
}

void TForm2::CreateTimers() {
  QTimer** timers[] = {&Timer1, &Timer5, &DataTime};
  const char* names[] = {"Timer1", "Timer5", "DataTime"};
  for (int i = 0; i < 3; ++i) {
    *timers[i] = new QTimer(this);
    (*timers[i])->setObjectName(QString::fromLatin1(names[i]));
  }
  DataTime->setInterval(1000);
  // The link's probe and watchdog keep whole milliseconds: the first probe
  // one second after the press, the watchdog's four seconds after progress.
  Timer1->setTimerType(Qt::PreciseTimer);
  Timer5->setTimerType(Qt::PreciseTimer);
}

void TForm2::AttachNumberFilters() {
  numberFilter_ = new NumberKeyFilter(this);
  digitsValidator_ = new DigitsValidator(this);
  // The direction list ComboBox3 takes any text (its own rule keeps "+" or "-").
  QWidget* fields[] = {ui_->Edit6, ui_->ComboBox4, ui_->ComboBox1, ui_->time1,  ui_->time2,
                       ui_->time3, ui_->time4,     ui_->time5,     ui_->timeT1, ui_->Edit2,
                       ui_->Edit3, ui_->Edit4,     ui_->Edit5,     ui_->Edit7,  ui_->Edit8,
                       ui_->Edit9, ui_->Edit10,    ui_->HYEdit,    ui_->Edit1,  ui_->Edit11};
  for (QWidget* field : fields) AttachNumberFilter(field, numberFilter_, digitsValidator_);
}

// The bands stretch with the window's width, the grid in both directions:
// each keeps the distance to its parent's right (and bottom) edge that it
// has in the design. The window gets no narrower than the design, where the
// bands' controls reach up to their right edges, and no lower than keeps the
// panels the settings and debug commands open inside it and the grid's
// caption rows and a few channel rows in view.
void TForm2::AnchorControls() {
  struct Stretch {
    QWidget* widget;
    bool bottom;
  };
  const Stretch stretches[] = {{ui_->GroupBox4, false},   {ui_->Panel1, false},
                               {ui_->GroupBox3, false},   {ui_->GroupBox5, false},
                               {ui_->TabControl1, false}, {StringGrid1, true}};
  int minimumHeight = 0;
  for (const Stretch& stretch : stretches) {
    const QWidget* parent = stretch.widget->parentWidget();
    const QRect box = stretch.widget->geometry();
    const int bottomMargin = stretch.bottom ? parent->height() - box.bottom() - 1 : -1;
    anchors_[anchorCount_++] = {stretch.widget, parent->width() - box.right() - 1, bottomMargin};
    if (stretch.bottom) minimumHeight = box.top() + kMinimumGridHeight + bottomMargin;
  }
  for (const QWidget* panel : {ui_->GroupBox10, ui_->GroupBox1})
    minimumHeight = qMax(minimumHeight, panel->geometry().bottom() + 1);
  setMinimumSize(width(), minimumHeight);
}

void TForm2::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (int i = 0; i < anchorCount_; ++i) {
    const Anchor& anchor = anchors_[i];
    const QWidget* parent = anchor.widget->parentWidget();
    QRect box = anchor.widget->geometry();
    box.setWidth(qMax(0, parent->width() - box.left() - anchor.rightMargin));
    if (anchor.bottomMargin >= 0) {
      box.setHeight(qMax(0, parent->height() - box.top() - anchor.bottomMargin));
    }
    anchor.widget->setGeometry(box);
  }
}

// Start-up, in the order the form has always used: lists, areas, the saved
// settings and patterns, the language, the lamps, then area 1 shown. No step
// stops the start: an error one raises is shown by the error display and the
// next step runs, so the window always opens with what could be applied.
// The start-up state has nothing to undo.
void TForm2::FormCreate() {
  StepGuard startup(document_, STEP_NONE);
  FillTimeLists();
  ui_->Label136->clear();
  ClearClipboard(document_.clipboard());
  RunHandler([this] { ListPorts(); });
  BitBtn3Click();
  document_.ResetStartupAreas();
  RemoveStaleSaves();
  LoadConfig();
  RunHandler([this] { languageMode.savedLanguage == 0 ? BitBtn12Click() : BitBtn13Click(); });
  CreatePreviewLamps();
  document_.store().currentArea = 0;
  ui_->GroupBox6->hide();
  ui_->ComboBox13->setCurrentIndex(0);
  if (!ui_->CheckBox2->isEnabled()) {
    ui_->GroupBox5->setEnabled(true);
    StringGrid1->setEnabled(true);
  }
  document_.store().currentArea = 0;
  RunHandler([this] { ShowArea(); });
  if (ui_->ComboBox4->isEnabled()) RunHandler([this] { ComboBox4Change(); });
  ui_->BitBtn7->setEnabled(true);
  StringGrid1->setColumnWidth(0, 60);
  ui_->GroupBox10->hide();
  RunHandler([this] { InitTriggerControls(); });
}

void TForm2::FillTimeLists() {
  QStringList items;
  items.reserve(1000);
  for (int i = 1; i <= 1000; ++i) items.append(QString::number(i));
  QComboBox* lists[] = {ui_->time1, ui_->time2, ui_->time3, ui_->time4, ui_->time5};
  for (QComboBox* list : lists) {
    const QSignalBlocker quiet(list);
    const QString text = list->currentText();
    list->addItems(items);
    list->setEditText(text);
  }
}

// Closing saves without asking: the settings, then the patterns of all 20
// areas. A settings file that cannot be written is reported, and the
// patterns are still saved before the program ends.
void TForm2::FormClose() {
  const Outcome settings = WriteConfig();
  if (!settings.ok) {
    vqled::ShowMessage(this, windowTitle(), Tr(settings.message));
    closeExitCode_ = -1;
  }
  SaveResumeFile();
}

void TForm2::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    RunHandler([this] { FormClose(); });
  }
  event->accept();
}

void TForm2::mouseMoveEvent(QMouseEvent* event) {
  FormMouseMove();
  QWidget::mouseMoveEvent(event);
}

// The pointer over the form outside the grid hides the grid's hover marks
// and floating editors.
void TForm2::FormMouseMove() {
  QWidget* marks[] = {ui_->cxLabel1, ui_->cxLabel2, ui_->cxLabel3, ui_->cxGroupBox1};
  for (QWidget* mark : marks) mark->hide();
  entry_->HideTimeLists();
}

QString TForm2::Tr(const Text& text) const {
  return QString::fromStdString(text.For(languageMode.textVariant));
}

}  // namespace vqled
