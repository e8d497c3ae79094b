#pragma once

#include <QtGlobal>
#include <chrono>
#include <curl/curl.h>

namespace vorlan {

// Asks a busy server once more: a final 429 or 503 whose Retry-After is at most
// kLongestWaitSeconds is asked again after that wait, when the wait fits in what is left of
// the request's time. The answer that is asked again is no page; the next one stands.
class BusyServerRetry {
  public:
    // At the end of a final response's header: whether it is to be asked again.
    void plan(CURL* easy, long statusCode, qint64 elapsedMs, qint64 timeoutMs);
    bool planned() const { return planned_; }
    // The request is sent again after this wait; no answer after it is asked again.
    std::chrono::seconds take();
    // Forgets the plan when the request is sent again.
    void reset() { planned_ = false; }

  private:
    // A Retry-After longer than this is not waited for: the answer stands.
    static constexpr curl_off_t kLongestWaitSeconds = 30;

    curl_off_t waitSeconds_ = 0;
    bool planned_ = false;
    bool used_ = false;
};

} // namespace vorlan
