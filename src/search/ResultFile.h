#pragma once

#include <QString>

namespace vorlan {

class Form1;

// The result file of the search in the working folder: one full shortcut path per line.
QString resultFilePath(const Form1& form);

// Reads the result file line by line into tmpURL, so that afterwards it holds the last line
// read (unchanged when the file has no line). With COMMAND2B, every non-empty line is
// appended to List1; otherwise List1 is not touched. Returns a copy of tmpURL.
//
// The result file is expected to exist. When it cannot be read, no line is read: tmpURL
// and List1 stay as they were and, when readError is given, it receives a message naming
// the file and the reason; it is emptied on success. Callers that must tell an unreadable
// file from an empty one pass readError.
QString CHeckURLtxtstor(Form1& form, QString& tmpURL, bool COMMAND2B = false,
                        QString* readError = nullptr);

} // namespace vorlan
