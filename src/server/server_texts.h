#pragma once

// The phone server's own texts and fixed byte blocks, kept in one place.
// No block carries a wildcard CORS header: the page talks to its own origin only.
namespace server_texts {

inline constexpr char kReasonOk[] = "OK";
inline constexpr char kReasonNoContent[] = "No Content";
inline constexpr char kReasonBadRequest[] = "Bad Request";
inline constexpr char kReasonForbidden[] = "Forbidden";
inline constexpr char kReasonNotFound[] = "Not Found";
inline constexpr char kReasonPayloadTooLarge[] = "Payload Too Large";
inline constexpr char kReasonHeaderTooLarge[] = "Request Header Fields Too Large";
inline constexpr char kReasonServiceUnavailable[] = "Service Unavailable";
inline constexpr char kReasonOther[] = "Error";

inline constexpr char kContentTypeHtml[] = "text/html; charset=utf-8";
inline constexpr char kContentTypePlain[] = "text/plain";
inline constexpr char kContentTypeJson[] = "application/json";

inline constexpr char kPreflightBlock[] = "HTTP/1.1 204 No Content\r\n"
                                          "Access-Control-Allow-Methods: POST, GET, OPTIONS\r\n"
                                          "Access-Control-Allow-Headers: Content-Type\r\n"
                                          "Connection: close\r\n\r\n";

inline constexpr char kJsonLinesHeaderBlock[] = "HTTP/1.1 200 OK\r\n"
                                                "Content-Type: application/x-ndjson\r\n"
                                                "Cache-Control: no-cache\r\n"
                                                "Connection: close\r\n\r\n";

// 403 bodies: one line each, read by a person looking at the phone.
inline constexpr char kMissingKeyPage[] =
    "This address needs its access key: open the full address shown in Emberglass on your "
    "computer.";
inline constexpr char kMissingKeyChat[] =
    "The access key is missing or no longer valid: open the address shown in Emberglass on "
    "your computer again.";
inline constexpr char kForeignRequest[] =
    "Requests from other web sites or host names are not accepted.";

// The 503 body's error when every place is taken by a reply in progress.
inline constexpr char kBusy[] =
    "The computer is busy answering other chats: try again in a moment.";
inline constexpr char kRetryAfterHeader[] = "Retry-After: 1\r\n";

inline constexpr char kLoopbackHostName[] = "localhost";

} // namespace server_texts
