#pragma once

#include "download/job_limits.h"
#include "download/response_head.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace download {

// How one failed job (or a failed start) is reported: the outcome code for m_nError (DLERR_), the
// short reason the user is shown, and the text for the error log (empty: nothing is logged).
struct JobFailure
{
    std::int32_t error;
    std::string reason;
    std::string logText;
};

// The text with CR LF added, as the log's entries for libcurl's texts end.
std::string WithLineEnd(std::string_view text);

// The worker could not start; logText says why and ends with its line break.
JobFailure StartFailure(std::string_view logText);
// The request target holds a blank or control byte; only this job fails.
JobFailure BadTargetFailure(std::string logText);
// The final response's status was not 200; the log keeps its header block.
JobFailure StatusFailure(long status, std::string headerBlock);
// The answer's body is no page (fault is not None): head is what the response's head said,
// headerBlock its raw lines so far, pageLimitMiB the limit it was held to. A cut connection
// leaves the worker as unusable as any transfer failure; every other fault fails the job only.
JobFailure AnswerFailure(AnswerFault fault, const ResponseHead& head,
                         const std::string& headerBlock, int pageLimitMiB);
// The destination file failed; fileText is the file error's text.
JobFailure FileFailure(const std::string& fileText);
// The transfer ended early: verdict says whether the limits ended it, else curlCode (a
// CURLcode) does; curlDetail is libcurl's detailed text, empty when it has none.
JobFailure TransferFailure(JobLimits::Verdict verdict, int curlCode, std::string_view curlDetail,
                           std::chrono::milliseconds stall, std::chrono::milliseconds job);

} // namespace download
