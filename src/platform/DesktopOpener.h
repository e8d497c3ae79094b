#pragma once

#include <QObject>
#include <QUrl>
#include <functional>

namespace vorlan {

// Hands url to the desktop's opener, xdg-open, as one argument (a file URL as its local path)
// and calls onFailure once the opener has exited with a non-zero status (it found no program
// for the item) or could not be started. An opener still running after a few seconds counts
// as success: a browser started in the foreground runs on. Never blocks: the opener's exit is
// polled on the event loop, and nothing is told once context is gone. Without xdg-open on the
// PATH, Qt's own opener is asked, which can tell only whether it found a program to start.
void openWithDesktop(const QUrl& url, QObject* context, std::function<void()> onFailure);

} // namespace vorlan
