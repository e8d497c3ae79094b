#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

namespace vorlan {

// A shortcut file's bytes with its address changed from `from` to `to`: only the value of
// the URL= line the reader takes the address from, and of a BASEURL= line holding the same
// address, is replaced; every other byte stays. The new address is written in the file's
// encoding; a Windows-1252 file that cannot hold it gets it percent-encoded with its host in
// ASCII form. Fails, the message saying why in words, when the file holds another address,
// takes it from a line that is not a URL= line, or would not read back the new address.
Result<QByteArray> rewriteShortcutAddress(const QByteArray& bytes, const QString& from,
                                          const QString& to);

} // namespace vorlan
