#include "platform/BusyServerRetry.h"

namespace vorlan {

void BusyServerRetry::plan(CURL* easy, long statusCode, qint64 elapsedMs, qint64 timeoutMs) {
    if ((statusCode != 429 && statusCode != 503) || used_)
        return;
    waitSeconds_ = 0;
    curl_easy_getinfo(easy, CURLINFO_RETRY_AFTER, &waitSeconds_);
    planned_ = waitSeconds_ > 0 && waitSeconds_ <= kLongestWaitSeconds &&
               elapsedMs + waitSeconds_ * 1000 < timeoutMs;
}

std::chrono::seconds BusyServerRetry::take() {
    used_ = true;
    return std::chrono::seconds(waitSeconds_);
}

} // namespace vorlan
