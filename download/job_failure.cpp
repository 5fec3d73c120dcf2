#include "download/job_failure.h"

#include "download/download_messages.h"

#include <curl/curl.h>

namespace download {

namespace {

std::string_view WithoutLineEnd(std::string_view text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string DurationText(std::chrono::milliseconds time)
{
    if (time.count() % 1000 == 0)
        return std::to_string(time.count() / 1000) + " seconds";
    return std::to_string(time.count()) + " ms";
}

} // namespace

std::string WithLineEnd(std::string_view text)
{
    std::string line(text);
    line += "\r\n";
    return line;
}

JobFailure StartFailure(std::string_view logText)
{
    return {DLERR_INTERNET, "接続を準備できません (" + std::string(WithoutLineEnd(logText)) + ")",
            std::string(logText)};
}

JobFailure BadTargetFailure(std::string logText)
{
    return {DLERR_STATUS, "要求先が不正です", std::move(logText)};
}

JobFailure StatusFailure(long status, std::string headerBlock)
{
    return {DLERR_STATUS, "HTTP " + std::to_string(status), std::move(headerBlock)};
}

JobFailure AnswerFailure(AnswerFault fault, const ResponseHead& head,
                         const std::string& headerBlock, int pageLimitMiB)
{
    const std::string limit = std::to_string(pageLimitMiB) + " MiB";
    switch (fault) {
    case AnswerFault::None:
        break;
    case AnswerFault::CutShort:
        return {DLERR_INTERNET, "応答が途中で切れました",
                "Connection closed inside the response header\r\n" + headerBlock};
    case AnswerFault::LengthConflict:
        return {DLERR_STATUS, "応答が不正です (Content-Length が矛盾)",
                "Conflicting Content-Length\r\n" + headerBlock};
    case AnswerFault::LengthInvalid:
        return {DLERR_STATUS, "応答が不正です (Content-Length が不正)",
                "Invalid Content-Length\r\n" + headerBlock};
    case AnswerFault::Encoded:
        return {DLERR_STATUS, "応答が不正です (Content-Encoding: " + head.GetEncoding() + ")",
                "Content-Encoding not asked for: " + head.GetEncoding() + "\r\n" + headerBlock};
    case AnswerFault::TooLarge:
        return {DLERR_STATUS, "ページが大きすぎます (" + limit + " 超)",
                WithLineEnd("Page larger than " + limit + ": transfer stopped")};
    }
    return {DLERR_STATUS, "", ""};
}

JobFailure FileFailure(const std::string& fileText)
{
    return {DLERR_FILE, fileText, fileText};
}

JobFailure TransferFailure(JobLimits::Verdict verdict, int curlCode, std::string_view curlDetail,
                           std::chrono::milliseconds stall, std::chrono::milliseconds job)
{
    const std::string timedOut = curl_easy_strerror(CURLE_OPERATION_TIMEDOUT);
    switch (verdict) {
    case JobLimits::Verdict::Aborted:
        // The owner asked for it: nothing went wrong that the log should keep.
        return {DLERR_INTERNET, "中止", ""};
    case JobLimits::Verdict::Stalled:
        return {DLERR_INTERNET, "タイムアウト",
                WithLineEnd(timedOut + ": nothing received for " + DurationText(stall))};
    case JobLimits::Verdict::TimedOut:
        return {DLERR_INTERNET, "タイムアウト",
                WithLineEnd(timedOut + ": the job took longer than " + DurationText(job))};
    case JobLimits::Verdict::Go:
        break;
    }
    const auto code = static_cast<CURLcode>(curlCode);
    const std::string shortText = curl_easy_strerror(code);
    // libcurl's detail ("Failed to connect to ... port ...") says more than the code's text.
    std::string logText = WithLineEnd(curlDetail.empty() ? shortText : curlDetail);
    if (code == CURLE_OPERATION_TIMEDOUT)
        return {DLERR_INTERNET, "タイムアウト", std::move(logText)};
    const bool noConnection = code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_HOST ||
                              code == CURLE_COULDNT_RESOLVE_PROXY;
    return {DLERR_INTERNET, (noConnection ? "接続できません (" : "通信エラー (") + shortText + ")",
            std::move(logText)};
}

} // namespace download
