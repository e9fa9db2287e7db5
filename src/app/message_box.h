// The window's message boxes. Every message the window shows goes through
// ShowMessage, so tests can install a recorder in place of the modal box and
// never run a real modal loop.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vqled {

enum MessageIcon : int { MESSAGE_PLAIN = 0, MESSAGE_INFORMATION = 1, MESSAGE_ERROR = 2 };

using MessageHook =
    std::function<void(QWidget* parent, const QString& caption, const QString& text, MessageIcon)>;

// Replaces the modal box by hook; an empty hook restores the modal box.
void SetMessageHook(MessageHook hook);

// A modal box with an OK button (or the installed hook).
void ShowMessage(QWidget* parent, const QString& caption, const QString& text,
                 MessageIcon icon = MESSAGE_PLAIN);

}  // namespace vqled
