#pragma once

#include <QString>
#include <optional>

namespace vorlan {

// The platform services the program's logic reaches for that a test must not let
// happen for real: dialogs, the desktop's opener, the clipboard and starting the
// listing runner. Files, resources and the event loop are used directly.
class Platform {
  public:
    virtual ~Platform() = default;

    // Opens a file path or an address with the desktop's associated application.
    // The target is handed over as one argument, never through a command shell.
    virtual void shellOpen(const QString& target) = 0;
    // Starts the listing runner on the given script, detached and hidden; never waits.
    // Returns the reason when the runner cannot be found or started.
    virtual std::optional<QString> runListingScript(const QString& scriptPath) = 0;
    // Modal notice with an OK button only.
    virtual void message(const QString& prompt) = 0;
    // Modal question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& prompt) = 0;
    // Closes the question that is open, as if answered No; nothing when none is.
    virtual void dismissQuestion() = 0;
    // Modal single-line prompt; the empty text when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& defaultText) = 0;
    // Modal choice of a file to write, starting at proposedPath, among the types CSV, TSV
    // and JSON; the empty text when cancelled. A name typed without an extension gets that
    // of the chosen type.
    virtual QString saveFileName(const QString& caption, const QString& proposedPath) = 0;
    // Modal choice of an existing folder, starting at startFolder; the empty text when
    // cancelled.
    virtual QString chooseFolder(const QString& caption, const QString& startFolder) = 0;
    // Replaces the clipboard's content by one plain text.
    virtual void setClipboardText(const QString& text) = 0;

    // Folder of the running executable, without a trailing separator.
    virtual QString programFolder() const = 0;
    // Folder that holds the working folder and the default download folder: the program
    // folder of a build tree or an unpacked copy where it is writable, else the user's data
    // folder for the program.
    virtual QString dataFolder() const = 0;
    // The executable's file name without its extension.
    virtual QString executableName() const = 0;
};

// The separator the program puts between a folder and a name.
inline constexpr QChar kPathSeparator = u'/';

} // namespace vorlan
