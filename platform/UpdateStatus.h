// The status lines of a download, the same whichever library does the download.
#pragma once

#include <cstddef>
#include <string>

namespace UpdateStatus
{
inline constexpr const char* kResolving = "Resolving name for %s";
inline constexpr const char* kResolved = "Resolved name for %s";
inline constexpr const char* kConnecting = "Connecting to socket address ";
inline constexpr const char* kConnected = "Connected to socket address";
inline constexpr const char* kSending = "Sending request...";
inline constexpr const char* kSent = "Request sent";
inline constexpr const char* kReceived = "Response received";
inline constexpr const char* kClosing = "Closing the connection to the server";
inline constexpr const char* kClosed = "Connection to the server closed";
inline constexpr const char* kCancelled = "Cancelled";
inline constexpr const char* kNoSession = "No connection to the Internet could be opened";
} // namespace UpdateStatus

// "Resolving name for HOST" and the like: the format's one %s replaced by strArg.
std::string StatusWithName(const char* pFormat, const std::string& strArg);
// "Read N bytes", or with a whole number of seconds past, "Read N bytes (R Kb/s)".
std::string ReadStatus(size_t nTotal, long long nElapsedSeconds);
// "HTTP 404 Not Found" from the response's status line ("HTTP/1.1 404 Not Found").
std::string HttpStatusText(int nCode, const std::string& strStatusLine);
// The body went past the limit.
std::string TooLargeStatus(size_t nLimit);
