// The window's side of the control registry: every registered name resolved
// to its widget, menu item or timer once, so the tables that name controls
// reach them without a search and a name the window lacks stops the program
// with a message naming it instead of being skipped or dereferenced.
#pragma once

#include <QString>
#include <QStringList>

#include "model/control_registry.h"

class QAction;
class QComboBox;
class QObject;

namespace vqled {

class ControlLookup {
 public:
  // Finds every registered control among window's descendants (the window
  // itself for its own name); returns the names it could not find.
  QStringList Resolve(QObject& window);
  bool resolved() const { return resolved_; }

  // The resolved control of a registered name; a name that is not
  // registered or was not found is a fatal fault that names it.
  QObject* Find(const char* name) const;
  // Find, and a fatal fault where the control is no list.
  QComboBox* List(const char* name) const;

 private:
  QObject* controls_[kControlCount] = {};
  bool resolved_ = false;
};

// The fatal fault of a window that lacks registered controls, in both
// text variants: "the window has no control named X, Y".
QString MissingControlsMessage(const QStringList& names);

}  // namespace vqled
