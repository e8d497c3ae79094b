#include "platform/TransferError.h"

namespace vorlan {

QString transferErrorWord(int number) {
    using namespace transfer_error;
    for (const TransferError& error :
         {kCannotOpenUrl, kBadUrl, kTimeOut, kInvalidUrl, kDownLevelServer}) {
        if (error.number == number)
            return QString::fromLatin1(error.word);
    }
    return {};
}

} // namespace vorlan
