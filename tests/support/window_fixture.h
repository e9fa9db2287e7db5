// Shared by the window tests: every test runs in a fresh temporary current
// directory (where Config.ini and tempRGB.bin live) and records the message
// boxes instead of showing them.
#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "Mianc.h"
#include "message_box.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

struct RecordedMessage {
  QString caption;
  QString text;
};

class WindowFixture {
 public:
  WindowFixture() {
    QDir::setCurrent(dir_.path());
    SetMessageHook([this](QWidget*, const QString& caption, const QString& text, MessageIcon) {
      messages.append({caption, text});
    });
  }
  ~WindowFixture() {
    form_.reset();
    SetMessageHook({});
    QDir::setCurrent(QDir::tempPath());
  }

  // Starts the window (FormCreate runs) and shows it on the offscreen screen.
  TForm2& Start() {
    form_ = std::make_unique<TForm2>();
    form_->show();
    return *form_;
  }
  // Closes the window as its close button does (FormClose runs).
  void Close() {
    form_->close();
    form_.reset();
  }
  TForm2& form() { return *form_; }
  Ui::TForm2& ui() { return *form_->form(); }

  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  void WriteFile(const char* name, const QByteArray& bytes) const {
    QFile file(Path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray ReadFile(const char* name) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QList<RecordedMessage> messages;

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TForm2> form_;
};

// Selects a model as the user does in ComboBox6.
inline void SelectModel(TForm2& form, int index) {
  form.form()->ComboBox6->setCurrentIndex(index);
  form.ComboBox6Change();
}

}  // namespace vqled
